// Where the work folders go: beside the program, or in the user's cache folder when the
// program folder cannot be written (an installed copy).
#pragma once
#include <QString>
#include <functional>

/// True when a new file can be made in `folder`: tried with a temporary file that is removed
/// at once. Permission bits alone do not tell (root ignores them, a read-only mount does
/// not show in them). False for a folder that does not exist.
bool canCreateFileIn(const QString& folder);

/// The per-user folder for the work folders: the user's cache folder for this program
/// ($XDG_CACHE_HOME/mbmzembrel, by default ~/.cache/mbmzembrel; on Windows under the local
/// application data). The application name must be set before. Not created here.
QString userCacheWorkRoot();

/// The work root of `programFolder`: the program folder itself when files can be made there
/// (`writable`), otherwise `userRoot`.
QString chooseWorkRoot(const QString& programFolder, const QString& userRoot,
                       const std::function<bool(const QString&)>& writable = canCreateFileIn);
