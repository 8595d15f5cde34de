#include "ui/form5.h"

#include "jobs/platform.h"
#include "ui/form1.h"
#include "ui/twips.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QMouseEvent>
#include <QUrl>

static QString pageUrl(const ProgramFolder& pf, const QString& file) {
    return QUrl::fromLocalFile(QDir::fromNativeSeparators(pf.file(file)))
        .toString(QUrl::FullyEncoded);
}

QString userGuideUrl(const ProgramFolder& pf) {
    return pageUrl(pf, kUserGuideFile);
}
QString makerPageUrl(const ProgramFolder& pf) {
    return pageUrl(pf, kMakerPageFile);
}

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    QFont f = font();
    const QString classic = QStringLiteral("MS Sans Serif");
    if (QFontDatabase::families().contains(classic, Qt::CaseInsensitive)) {
        f.setFamily(classic);
        f.setPointSizeF(8.25);
    }
    f.setUnderline(true);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, Qt::blue);
    setPalette(p);
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

Form5::Form5(Form1& main) : ToolWindow(main), m_open(&platform::openUrl) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("About MBM Zembrel"));
    setFixedSize(px(5400), px(1920));

    Label1 = new QLabel(tr("MBM Zembrel helps you edit Symbian MBM files conveniently through "
                           "a graphical interface."),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    placeTw(Label1, 120, 120, 5160, 600);
    Label3 = new LinkLabel(tr("User guide"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    placeTw(Label3, 3000, 840, 2280, 285);
    Label4 = new QLabel(tr("Home page:"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    placeTw(Label4, 120, 1320, 1200, 285);
    Label5 = new LinkLabel(kMakerName, this);
    Label5->setObjectName(QStringLiteral("Label5"));
    placeTw(Label5, 1380, 1320, 3900, 285);

    const QString guide = userGuideUrl(main.programFolder());
    connect(Label3, &LinkLabel::clicked, this, [this, guide] { openLink(guide); });
    const QString home = makerPageUrl(main.programFolder());
    connect(Label5, &LinkLabel::clicked, this, [this, home] { openLink(home); });
}

void openPage(Interaction& ui, const std::function<bool(const QString&)>& open,
              const QString& url) {
    const QUrl u(url);
    if (u.isLocalFile() && !QFileInfo::exists(u.toLocalFile())) {
        ui.message(QStringLiteral("The page %1 is missing. Reinstall the program to get it back.")
                       .arg(QDir::toNativeSeparators(u.toLocalFile())),
                   QStringLiteral("Error"));
        return;
    }
    if (!open(url))
        ui.message(QStringLiteral("No web browser could be started for %1.").arg(url),
                   QStringLiteral("Error"));
}

void Form5::openLink(const QString& url) {
    openPage(m_main.interaction(), m_open, url);
}
