// The colour-switch drop-downs are too narrow for the arrow part most styles draw: their
// style draws a narrower arrow, so "/c24" and "/c32a" show whole at the fixed size.
#pragma once
#include <QProxyStyle>

class QComboBox;

/// The application's style with the drop-down arrow part of combo boxes narrowed to
/// `kArrowWidth` pixels; the text field gets the room.
class SwitchListStyle : public QProxyStyle {
    Q_OBJECT
  public:
    static constexpr int kArrowWidth = 11;
    explicit SwitchListStyle(const QString& baseStyle);
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;
};

/// Gives `box` a SwitchListStyle of its own (owned by the box) and, where its items or
/// "/c32a" still do not fit, a smaller font. Call once the box has its items and its size.
void fitSwitchList(QComboBox* box);

/// The room `box` has for its current text, in pixels, as its style lays it out.
int switchTextRoom(const QComboBox* box);
