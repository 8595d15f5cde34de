#include "ui/form3.h"

#include "mbm/picture_conversion.h"
#include "ui/twips.h"

Form3::Form3(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form3"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Converting ..."));
    setFixedSize(px(4800), px(1200));
    auto hiddenList = [this](const char* name) {
        auto* l = new QListWidget(this);
        l->setObjectName(QLatin1String(name));
        l->hide();
        return l;
    };
    auto hiddenText = [this](const char* name) {
        auto* t = new QLineEdit(this);
        t->setObjectName(QLatin1String(name));
        t->hide();
        return t;
    };
    List1 = hiddenList("List1");
    List2 = hiddenList("List2");
    List3 = hiddenList("List3");
    Text1 = hiddenText("Text1");
    Text2 = hiddenText("Text2");
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->hide();
    Label1 = new QLabel(QStringLiteral("Converting: "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    placeTw(Label1, 120, 120, 4560, 315);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    placeTw(ProgressBar1, 120, 600, 4560, 375);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &Form3::startconvert_real);
}

void Form3::startconvert() {
    Timer1->start();
}

void Form3::startconvert_real() {
    Timer1->stop();
    m_progress = 0;
    ProgressBar1->setValue(0);
    QStringList failures;
    for (int i = 0; i < List1->count() && i < List2->count(); ++i) {
        const QString name = List2->item(i)->text();
        Label1->setText(QStringLiteral("Converting: ") + name);
        Label1->repaint();
        const QString targetName =
            i < List3->count() ? List3->item(i)->text() : convertedName(name, Text1->text());
        const QString target = Text2->text() + targetName;
        // A picture that cannot be read or written is skipped; the caller is told which.
        const QString source = List1->item(i)->text() + name;
        const Status s = convertPicture(
            source, target, m_workCopies ? WriteMode::Direct : WriteMode::Atomic,
            m_alphaRows.contains(i),
            m_ditherRows.contains(i) ? std::optional(m_ditherRows.value(i)) : std::nullopt);
        if (!s) failures << s.error;
        m_progress = float(i + 1) / float(List1->count()) * 100.0f;
        ProgressBar1->setValue(qRound(m_progress));
        ProgressBar1->repaint();
        emit progressChanged(m_progress);
    }
    hide();
    emit finished(failures);
    close();
}
