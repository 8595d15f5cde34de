// The picture preview: where a picture goes in the preview frame, and showing it there.
#pragma once
#include <QImage>
#include <QRect>
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

/// Places a picture of `pictureWidth` x `pictureHeight` twips shown `factor` times its size
/// in a frame of `frameWidth` x `frameHeight` twips: centred in the usable area as
/// placePreview centres, never shrunk, so it may reach beyond the usable area.
PreviewPlacement placeZoomed(float frameWidth, float frameHeight, float pictureWidth,
                             float pictureHeight, int factor);

/// The zoom steps: Fit (the placement of placePreview), then 1, 2, 4, 8 and 16 times the
/// picture's pixels.
constexpr int kZoomFit = 0;
constexpr int kZoomMax = 16;

/// The step after `zoom` when zooming in: from Fit, 1x when Fit shrinks the picture and 2x
/// when it shows it at its size; 16x stays.
int zoomedIn(int zoom, bool fitShrinks);

/// The step after `zoom` when zooming out: halves, 1x goes back to Fit; Fit stays.
int zoomedOut(int zoom);

/// The rectangle, in pixels of a frame of `frame` pixels, where `picture` pixels are shown:
/// by placePreview for Fit (`factor` kZoomFit), else by placeZoomed.
QRect previewRect(const QSize& frame, const QSize& picture, int factor);

/// Shows `picture` in `image`, a child of `frame`, placed by placePreview with the frame's
/// size read anew; scaled smoothly when it is shrunk. A null picture leaves `image` hidden
/// and empty and gives false.
bool showImageIn(QWidget* frame, QLabel* image, const QImage& picture);
