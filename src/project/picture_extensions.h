// The file extensions of the picture formats the editor reads.
#pragma once
#include <QStringList>

/// The file extensions of every picture format Qt reads here, lower-case without a dot:
/// "jpg", "bmp", "gif", "png" first, then the others (jpeg, tif, webp, ... as the image
/// plug-ins present provide them) in alphabetical order.
QStringList pictureExtensions();
