#include "ui/form4.h"

#include "ui/twips.h"

Form4::Form4(Form1& main, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_main(main) {
    setObjectName(QStringLiteral("Form4"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Form4"));
    setFixedSize(px(4665), px(405));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(64, 64, 64));
    pal.setColor(QPalette::WindowText, QColor(192, 192, 192));
    setPalette(pal);
    Label1 = new QLabel(QStringLiteral("Status:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    placeTw(Label1, 120, 90, 735, 255);
    Label2 = new QLabel(QStringLiteral("Label2"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    placeTw(Label2, 840, 90, 3705, 255);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->hide();
    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->hide();
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->hide();
}

void Form4::setStatus(const QString& text) {
    Label2->setText(text);
    Label2->repaint();
}
