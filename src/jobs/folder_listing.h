// What the file browser lists: sub-folders and the files matching a pattern.
#pragma once
#include <QStringList>

/// Splits "*.bmp;*.jpg" into its patterns (blanks around each trimmed, empty ones dropped).
QStringList splitPatterns(const QString& patterns);

/// True when `name` matches one of the wildcard patterns (* and ?), case-insensitively as
/// on Windows.
bool matchesPatterns(const QString& name, const QStringList& patterns);

/// The files of `folder` whose names match `patterns`, sorted case-insensitively, hidden
/// files (names starting with a dot) left out. A folder that cannot be read gives an empty
/// list.
QStringList listMatchingFiles(const QString& folder, const QString& patterns);

/// The sub-folders of `folder`, sorted case-insensitively.
QStringList listSubfolders(const QString& folder);
