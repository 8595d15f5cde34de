#include "ui/switch_list_style.h"

#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QStyleOptionComboBox>

SwitchListStyle::SwitchListStyle(const QString& baseStyle) : QProxyStyle(baseStyle) {}

QRect SwitchListStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                      SubControl sub, const QWidget* widget) const {
    const QRect base = QProxyStyle::subControlRect(control, option, sub, widget);
    if (control != CC_ComboBox) return base;
    const QRect arrow = QProxyStyle::subControlRect(control, option, SC_ComboBoxArrow, widget);
    const int spare = arrow.width() - kArrowWidth;
    if (spare <= 0) return base;
    const bool rtl = option->direction == Qt::RightToLeft;
    switch (sub) {
    case SC_ComboBoxArrow:
        return rtl ? base.adjusted(0, 0, -spare, 0) : base.adjusted(spare, 0, 0, 0);
    case SC_ComboBoxEditField:
        // The field's own margin towards the arrow goes too: the arrow has its own.
        return rtl ? base.adjusted(-spare - 2, 0, 0, 0) : base.adjusted(-2, 0, spare, 0);
    default:
        return base;
    }
}

void SwitchListStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                         QPainter* painter, const QWidget* widget) const {
    if (control != CC_ComboBox) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    // The frame and button without the arrow, then the arrow in the narrow part.
    QStyleOptionComboBox frame;
    if (const auto* box = qstyleoption_cast<const QStyleOptionComboBox*>(option)) frame = *box;
    frame.subControls &= ~SC_ComboBoxArrow;
    QProxyStyle::drawComplexControl(control, &frame, painter, widget);
    QStyleOption arrow(*option);
    arrow.rect = subControlRect(control, option, SC_ComboBoxArrow, widget).adjusted(1, 0, -2, 0);
    proxy()->drawPrimitive(PE_IndicatorArrowDown, &arrow, painter, widget);
}

// The widest switch the converter takes; the lists must show it whole whenever they hold it.
static const QString kWidestSwitch = QStringLiteral("/c32a");

// The label is drawn one pixel in from each side of the field.
static constexpr int kLabelMargins = 2;

void fitSwitchList(QComboBox* box) {
    auto* style = new SwitchListStyle(QApplication::style()->name());
    style->setParent(box);
    box->setStyle(style);
    // Where the narrower arrow is not enough (a large system font), the text gets smaller.
    QFont font = box->font();
    const auto needed = [&] {
        const QFontMetrics fm(font);
        int widest = fm.horizontalAdvance(kWidestSwitch);
        for (int i = 0; i < box->count(); ++i)
            widest = std::max(widest, fm.horizontalAdvance(box->itemText(i)));
        return widest + kLabelMargins;
    };
    const int room = switchTextRoom(box);
    bool shrunk = false;
    while (needed() > room) {
        if (font.pointSizeF() > 6) {
            font.setPointSizeF(font.pointSizeF() - 0.5);
        } else if (font.pointSizeF() <= 0 && font.pixelSize() > 8) {
            font.setPixelSize(font.pixelSize() - 1);
        } else {
            break;
        }
        shrunk = true;
    }
    if (shrunk) box->setFont(font);
}

int switchTextRoom(const QComboBox* box) {
    QStyleOptionComboBox opt;
    opt.initFrom(box);
    opt.editable = box->isEditable();
    opt.frame = box->hasFrame();
    opt.currentText = box->currentText();
    opt.subControls = QStyle::SC_All;
    return box->style()
        ->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, box)
        .width();
}
