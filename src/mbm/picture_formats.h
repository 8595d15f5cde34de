// The picture formats the editor reads: every one Qt's image readers know here.
#pragma once
#include <QStringList>

/// The file extensions of every picture format Qt reads here, lower-case without a dot:
/// "jpg", "bmp", "gif", "png" first, then the others (jpeg, tif, webp, ... as the image
/// plug-ins present provide them) in alphabetical order.
QStringList pictureExtensions();

/// A pattern for every picture file: "*.jpg;*.bmp;*.gif;*.png;..." in pictureExtensions()
/// order.
QString allPicturesPattern();

/// The patterns the file browser's pattern list offers after its first four: "*.png" and
/// the all-pictures pattern.
QStringList extraPicturePatterns();
