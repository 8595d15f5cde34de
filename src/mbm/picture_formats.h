// The picture formats the editor reads: every one Qt's image readers know here.
#pragma once
#include "project/picture_extensions.h"

#include <QStringList>

/// A pattern for every picture file: "*.jpg;*.bmp;*.gif;*.png;..." in pictureExtensions()
/// order.
QString allPicturesPattern();

/// The patterns the file browser's pattern list offers after its first four: "*.png" and
/// the all-pictures pattern.
QStringList extraPicturePatterns();
