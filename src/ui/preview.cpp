#include "ui/preview.h"

#include "ui/twips.h"

#include <QLabel>
#include <QPixmap>
#include <cmath>

PreviewPlacement placePreview(float frameWidth, float frameHeight, float pictureWidth,
                              float pictureHeight) {
    const float a = frameWidth - kPreviewMarginX;
    const float b = frameHeight - kPreviewMarginY;
    PreviewPlacement p;
    p.width = pictureWidth;
    p.height = pictureHeight;
    // Width fit first; a picture exactly as wide as the usable area is left alone.
    if (a < p.width) {
        const float r = a / p.width;
        p.stretched = true;
        p.width = a;
        p.height = r * p.height;
    }
    // Then height fit, on what the width fit left.
    if (b < p.height) {
        const float r = b / p.height;
        p.stretched = true;
        p.height = b;
        p.width = r * p.width;
    }
    p.left = (a - p.width) / 2.0f + kPreviewMarginX / 2.0f;
    p.top = (b - p.height) / 2.0f + kPreviewMarginY / 2.0f;
    return p;
}

static int toPixels(float twips) {
    return int(std::lround(twips / float(kTwipsPerPixel)));
}

PreviewPlacement placeZoomed(float frameWidth, float frameHeight, float pictureWidth,
                             float pictureHeight, int factor) {
    const float a = frameWidth - kPreviewMarginX;
    const float b = frameHeight - kPreviewMarginY;
    PreviewPlacement p;
    p.width = pictureWidth * float(factor);
    p.height = pictureHeight * float(factor);
    p.left = (a - p.width) / 2.0f + kPreviewMarginX / 2.0f;
    p.top = (b - p.height) / 2.0f + kPreviewMarginY / 2.0f;
    return p;
}

int zoomedIn(int zoom, bool fitShrinks) {
    if (zoom == kZoomFit) return fitShrinks ? 1 : 2;
    return std::min(zoom * 2, kZoomMax);
}

int zoomedOut(int zoom) {
    return zoom <= 1 ? kZoomFit : zoom / 2;
}

QRect previewRect(const QSize& frame, const QSize& picture, int factor) {
    const float fw = float(frame.width() * kTwipsPerPixel);
    const float fh = float(frame.height() * kTwipsPerPixel);
    const float pw = float(picture.width() * kTwipsPerPixel);
    const float ph = float(picture.height() * kTwipsPerPixel);
    const PreviewPlacement p =
        factor == kZoomFit ? placePreview(fw, fh, pw, ph) : placeZoomed(fw, fh, pw, ph, factor);
    if (factor != kZoomFit)
        return QRect(toPixels(p.left), toPixels(p.top), picture.width() * factor,
                     picture.height() * factor);
    return QRect(toPixels(p.left), toPixels(p.top), std::max(1, toPixels(p.width)),
                 std::max(1, toPixels(p.height)));
}

bool showImageIn(QWidget* frame, QLabel* image, const QImage& picture) {
    image->hide();
    image->clear();
    if (picture.isNull()) return false;
    const QRect target = previewRect(frame->size(), picture.size(), kZoomFit);
    const QImage shown =
        target.size() != picture.size()
            ? picture.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            : picture;
    image->setScaledContents(false);
    image->setPixmap(QPixmap::fromImage(shown));
    image->setGeometry(target);
    image->show();
    return true;
}
