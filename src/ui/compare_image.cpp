#include "ui/compare_image.h"

#include <QPainter>
#include <algorithm>

QImage sideBySide(const QImage& source, const QImage& stored) {
    if (source.isNull() || stored.isNull()) return {};
    const bool stacked = source.width() > source.height();
    const QSize size = stacked ? QSize(std::max(source.width(), stored.width()),
                                       source.height() + kCompareGap + stored.height())
                               : QSize(source.width() + kCompareGap + stored.width(),
                                       std::max(source.height(), stored.height()));
    QImage both(size, QImage::Format_ARGB32);
    if (both.isNull()) return both;
    both.fill(Qt::transparent);
    QPainter p(&both);
    p.drawImage(0, 0, source);
    p.drawImage(stacked ? QPoint(0, source.height() + kCompareGap)
                        : QPoint(source.width() + kCompareGap, 0),
                stored);
    return both;
}
