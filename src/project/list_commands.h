// The user commands on the Project list, without widgets.
#pragma once
#include "project/project.h"

#include <QStringList>
#include <functional>

/// Joins a folder and a file name: a folder not already ending with a separator gets one
/// (so a drive root such as C:\ or / is joined directly).
QString joinFolder(const QString& folder, const QString& name);

/// The folder as the Project list keeps it: ending with a separator.
QString folderWithSeparator(const QString& folder);

/// One entry per selected file, in the order given, with `colour`, under `folder`.
std::vector<BitmapEntry>
selectedFileEntries(const QString& folder, const QStringList& selectedNames, const QString& colour);

/// Adds one entry per selected file, in the order given, with `colour`, under `folder`.
/// Returns how many were added (fewer than asked when the list is full).
int addSelectedFiles(ProjectList& list, const QString& folder, const QStringList& selectedNames,
                     const QString& colour);

/// What the user is told when entries do not fit: the list is full, `left` were not added.
QString listFullMessage(int left);

/// Runs a select-all command: sets `project.selecting` while `selectAll` selects all `count`
/// items and each item's click notification `clicked` follows (which must ignore it while
/// `selecting` is set). Does nothing for an empty list.
void selectAllGuarded(Project& project, int count, const std::function<void()>& selectAll,
                      const std::function<void(int)>& clicked);
