#include "ui/preview.h"

#include "ui/twips.h"

#include <QImageReader>
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

bool showPictureIn(QWidget* frame, QLabel* image, const QString& path) {
    image->hide();
    image->clear();
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage picture = reader.read();
    if (picture.isNull()) return false;

    const PreviewPlacement p = placePreview(
        float(frame->width() * kTwipsPerPixel), float(frame->height() * kTwipsPerPixel),
        float(picture.width() * kTwipsPerPixel), float(picture.height() * kTwipsPerPixel));
    const QRect target(toPixels(p.left), toPixels(p.top), std::max(1, toPixels(p.width)),
                       std::max(1, toPixels(p.height)));
    const QImage shown =
        p.stretched ? picture.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                    : picture;
    image->setScaledContents(false);
    image->setPixmap(QPixmap::fromImage(shown));
    image->setGeometry(target);
    image->show();
    return true;
}
