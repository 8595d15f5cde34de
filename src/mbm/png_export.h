// Saving entries as PNG files: the pixels as the archive stores them, an icon's mask or a
// /c32a bitmap's alpha as the PNG's alpha.
#pragma once
#include "project/project_list.h"

#include <QString>
#include <QStringList>
#include <vector>

class IconPairs;

/// One PNG to write: the entry's picture at its switch and, for an icon, its mask.
struct PngJob {
    QString path;
    QString colour;
    QString maskPath; ///< empty when the entry has no mask
    QString maskColour;
    QString name; ///< the entry's file name; the PNG is its converted name with ".png"
};

/// The PNGs for the entries `rows` of `list` in list order. An icon takes its mask along;
/// a mask whose icon is among `rows` is not written again on its own.
std::vector<PngJob> pngJobs(const ProjectList& list, const IconPairs& pairs,
                            const std::vector<int>& rows);

/// Writes every job into `folder` (ending with a separator) as "<name>.png", replacing a
/// file there. 1-bit masks are read in the given convention. Returns one message per PNG
/// that could not be made; the others are written.
QStringList savePngs(const std::vector<PngJob>& jobs, const QString& folder, bool whiteWhereDrawn);
