// The picture preview: where a picture goes in the preview frame, and showing it there.
#pragma once
#include <QString>

class QLabel;
class QWidget;

/// Where the preview shows a picture, in twips relative to the preview frame, computed in
/// single precision. `stretched` is true when the picture was shrunk.
struct PreviewPlacement {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool stretched = false;
};

/// Margins of the usable area inside the preview frame, in twips: 100 left and right,
/// 200 above and below.
constexpr float kPreviewMarginX = 200.0f;
constexpr float kPreviewMarginY = 400.0f;

/// Places a picture of `pictureWidth` x `pictureHeight` twips in a frame of `frameWidth` x
/// `frameHeight` twips. A picture is never enlarged: one wider than the usable width is
/// shrunk to it, then one still taller than the usable height is shrunk to that, keeping
/// its proportions in both steps; the result is centred in the usable area.
PreviewPlacement placePreview(float frameWidth, float frameHeight, float pictureWidth,
                              float pictureHeight);

/// Shows the picture file at `path` in `image`, a child of `frame`, placed by placePreview
/// with the frame's size read anew. The picture is scaled smoothly when it is shrunk.
/// Returns false, and leaves `image` hidden and empty, when the file cannot be read as a
/// picture.
bool showPictureIn(QWidget* frame, QLabel* image, const QString& path);
