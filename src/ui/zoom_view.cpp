#include "ui/zoom_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstring>

ZoomView::ZoomView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The frame's own background shows around the picture, as in the fitted preview.
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
}

void ZoomView::setPicture(const QImage& picture, int factor, const QPoint& centredAt) {
    m_picture = picture.convertToFormat(
        picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    m_factor = std::max(1, factor);
    m_centredAt = centredAt;
    m_centre = QPointF(0.5, 0.5);
    relayout();
}

void ZoomView::setFactor(int factor, const QPoint& centredAt) {
    m_factor = std::max(1, factor);
    m_centredAt = centredAt;
    relayout();
}

void ZoomView::clear() {
    m_picture = QImage();
    relayout();
}

QRect ZoomView::pictureRect() const {
    const QSize content = m_picture.size() * m_factor;
    const QSize view = viewport()->size();
    const int x = content.width() <= view.width()
                      ? std::clamp(m_centredAt.x(), 0, view.width() - content.width())
                      : -horizontalScrollBar()->value();
    const int y = content.height() <= view.height()
                      ? std::clamp(m_centredAt.y(), 0, view.height() - content.height())
                      : -verticalScrollBar()->value();
    return QRect(QPoint(x, y), content);
}

void ZoomView::relayout() {
    // The scroll area shows or hides its bars later, from the event loop; the viewport's
    // resize then comes back here and keeps m_centre in the middle again.
    if (m_relayouting) return;
    m_relayouting = true;
    const QSize content = m_picture.size() * m_factor;
    const QSize view = viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, std::max(0, content.width() - view.width()));
    h->setPageStep(view.width());
    h->setSingleStep(std::max(m_factor, 16));
    v->setRange(0, std::max(0, content.height() - view.height()));
    v->setPageStep(view.height());
    v->setSingleStep(std::max(m_factor, 16));
    h->setValue(int(std::lround(m_centre.x() * content.width() - view.width() / 2.0)));
    v->setValue(int(std::lround(m_centre.y() * content.height() - view.height() / 2.0)));
    const bool pannable = content.width() > view.width() || content.height() > view.height();
    viewport()->setCursor(pannable ? Qt::OpenHandCursor : Qt::ArrowCursor);
    m_relayouting = false;
    viewport()->update();
}

void ZoomView::rememberCentre() {
    // Only an axis that scrolls has a centre of its own; a fitting one stays centred.
    const QSize content = m_picture.size() * m_factor;
    const QSize view = viewport()->size();
    if (content.width() > view.width())
        m_centre.setX((horizontalScrollBar()->value() + view.width() / 2.0) / content.width());
    if (content.height() > view.height())
        m_centre.setY((verticalScrollBar()->value() + view.height() / 2.0) / content.height());
}

/// Copies `source` pixels of a 32-bit picture, each enlarged to a factor x factor square.
static QImage enlarged(const QImage& picture, const QRect& source, int factor) {
    QImage out(source.size() * factor, picture.format());
    if (out.isNull()) return out;
    const size_t rowBytes = size_t(out.width()) * 4;
    for (int y = 0; y < source.height(); ++y) {
        const auto* in =
            reinterpret_cast<const QRgb*>(picture.constScanLine(source.top() + y)) + source.left();
        auto* first = reinterpret_cast<QRgb*>(out.scanLine(y * factor));
        for (int x = 0; x < source.width(); ++x)
            std::fill_n(first + x * factor, factor, in[x]);
        for (int k = 1; k < factor; ++k)
            std::memcpy(out.scanLine(y * factor + k), first, rowBytes);
    }
    return out;
}

void ZoomView::paintEvent(QPaintEvent* event) {
    if (m_picture.isNull()) return;
    const QRect shown = pictureRect();
    const QRect visible = shown & event->rect();
    if (visible.isEmpty()) return;
    // The picture pixels under the visible part, whole pixels only.
    const int f = m_factor;
    const QPoint first((visible.left() - shown.left()) / f, (visible.top() - shown.top()) / f);
    const QPoint last((visible.right() - shown.left()) / f, (visible.bottom() - shown.top()) / f);
    const QRect source(first, last);
    QPainter painter(viewport());
    painter.drawImage(shown.topLeft() + first * f, enlarged(m_picture, source, f));
}

void ZoomView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void ZoomView::scrollContentsBy(int, int) {
    if (!m_relayouting) rememberCentre();
    viewport()->update();
}

void ZoomView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int dy = event->angleDelta().y();
        if (dy != 0) emit zoomRequested(dy > 0 ? 1 : -1);
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void ZoomView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    m_dragging = true;
    m_dragFrom = event->position().toPoint();
    m_scrollFrom = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    if (viewport()->cursor().shape() == Qt::OpenHandCursor)
        viewport()->setCursor(Qt::ClosedHandCursor);
    event->accept();
}

void ZoomView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) return QAbstractScrollArea::mouseMoveEvent(event);
    const QPoint moved = event->position().toPoint() - m_dragFrom;
    horizontalScrollBar()->setValue(m_scrollFrom.x() - moved.x());
    verticalScrollBar()->setValue(m_scrollFrom.y() - moved.y());
    event->accept();
}

void ZoomView::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_dragging) return QAbstractScrollArea::mouseReleaseEvent(event);
    m_dragging = false;
    relayout();
    event->accept();
}
