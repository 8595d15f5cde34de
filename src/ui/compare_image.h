// The picture View > Compare with source shows: the source and the stored picture in one
// image, so that both take the same zoom and scroll.
#pragma once
#include <QImage>

/// The transparent gap between the two pictures, in pixels of the pictures.
constexpr int kCompareGap = 4;

/// `source` and `stored` side by side, source on the left, or for a picture wider than high
/// one above the other, source on top, kCompareGap transparent pixels between them
/// (ARGB32). Null when either is null or memory runs out.
QImage sideBySide(const QImage& source, const QImage& stored);
