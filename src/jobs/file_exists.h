// The path tests of the jobs: the one every wait uses, and folder identity.
#pragma once
#include <QString>

/// True when `path` names a file that can be opened for reading. A trailing separator is
/// dropped first; a folder, a missing file and an empty path give false.
bool FileExists(QString path);

/// True when `a` and `b` name the same folder: compared after resolving links where both
/// exist, otherwise by their absolute paths; ignoring case on Windows, as its file system does.
bool sameFolder(const QString& a, const QString& b);
