// The path test every wait uses.
#pragma once
#include <QString>

/// True when `path` names a file that can be opened for reading. A trailing separator is
/// dropped first; a folder, a missing file and an empty path give false.
bool FileExists(QString path);
