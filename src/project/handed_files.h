// Files handed to the editor from outside: dropped from a file manager or named on the
// command line.
#pragma once
#include "project/project_list.h"

#include <QList>
#include <QStringList>
#include <QUrl>
#include <vector>

/// What the editor can do with a file.
enum class FileKind {
    Archive, ///< an .mbm archive: opened or imported
    Picture, ///< a picture: added to the Project list
    Other,   ///< nothing
};

/// The kind of a file by its name: ".mbm" in any letter case is an archive; one of the
/// pictureExtensions() (BMP, JPEG, GIF, PNG and whatever else Qt reads here) a picture.
/// The file itself is not looked at.
FileKind fileKindOf(const QString& path);

/// One file handed over, as an absolute path with the system's separators, and its kind.
struct HandedFile {
    QString path;
    FileKind kind = FileKind::Other;
};

/// The local files among `urls`, in their order, with their kinds; addresses that are not
/// local files (web addresses, empty ones) and folders are left out.
std::vector<HandedFile> handedFiles(const QList<QUrl>& urls);

/// One Project-list entry per picture path, in order, with the switch `colour`; the folder
/// is the picture's own, ending with the separator.
std::vector<BitmapEntry> pictureEntries(const QStringList& paths, const QString& colour);
