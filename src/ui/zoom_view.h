// The zoomed preview: a picture enlarged by whole pixels, centred, scrollable and pannable.
#pragma once
#include <QAbstractScrollArea>
#include <QImage>
#include <QPoint>
#include <QPointF>

/// Shows a picture `factor` times its size, each pixel a sharp factor x factor square
/// (nearest neighbour). A picture smaller than the view stands where `centredAt` puts it
/// (its top-left corner in view coordinates, as the frame's centring gives it); a larger
/// one scrolls with the scroll bars, the wheel and by dragging. Only the visible part is
/// ever enlarged, so any zoom of any picture costs the same.
class ZoomView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit ZoomView(QWidget* parent = nullptr);

    /// Shows `picture` at `factor`, its middle in the middle of the view.
    void setPicture(const QImage& picture, int factor, const QPoint& centredAt);
    /// Changes the factor, keeping the picture point in the middle of the view there.
    void setFactor(int factor, const QPoint& centredAt);
    /// Removes the picture.
    void clear();

    const QImage& picture() const { return m_picture; }
    /// Where the enlarged picture lies in viewport coordinates (it may reach beyond).
    QRect pictureRect() const;

  signals:
    /// The wheel turned with Ctrl held: +1 to zoom in, -1 to zoom out.
    void zoomRequested(int step);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    /// Sets the scroll bars for the picture, the factor and the viewport, keeping the
    /// picture point m_centre in the middle.
    void relayout();
    /// Takes the picture point in the middle of the view as m_centre after a scroll.
    void rememberCentre();

    QImage m_picture; // RGB32 or ARGB32 premultiplied
    int m_factor = 1;
    QPoint m_centredAt;
    QPointF m_centre{0.5, 0.5}; // the picture point kept in the middle, as fractions
    bool m_relayouting = false;
    QPoint m_dragFrom;
    QPoint m_scrollFrom;
    bool m_dragging = false;
};
