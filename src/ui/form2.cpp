#include "ui/form2.h"

#include "mbm/icon_pairs.h"
#include "project/list_commands.h"
#include "ui/form1.h"
#include "ui/form3.h"
#include "ui/twips.h"

#include <QDir>

Form2::Form2(Form1& main, Kind kind) : ToolWindow(main), m_kind(kind) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Select map to save files in"));
    setFixedSize(px(4200), px(4200));

    Drive1 = new DriveList(this);
    placeTw(Drive1, 120, 120, 3960, 315);
    Dir1 = new DirList(this);
    placeTw(Dir1, 120, 600, 3960, 2880);
    Command1 = new QPushButton(tr("Save"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    placeTw(Command1, 120, 3660, 1215, 375);
    Command2 = new QPushButton(tr("Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    placeTw(Command2, 2865, 3660, 1215, 375);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->hide();
    List2 = new QListWidget(this);
    List2->setObjectName(QStringLiteral("List2"));
    List2->hide();
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->hide();

    // The folder list starts at the process's current folder each time.
    Drive1->setDriveOf(QDir::currentPath());
    Dir1->setPath(QDir::currentPath());
    connect(Drive1, &QComboBox::currentIndexChanged, this, &Form2::drive1Change);
    connect(Command1, &QPushButton::clicked, this, &Form2::command1Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::reject);
    takeSnapshot();
}

void Form2::takeSnapshot() {
    Text1->setText(m_kind == Png ? QStringLiteral("png") : QStringLiteral("bmp"));
    const ProjectList& list = m_main.list();
    if (m_kind == Png) m_pngJobs = pngJobs(list, IconPairs::of(list), list.selectedIndices());
    for (int i : list.selectedIndices()) {
        List1->addItem(list.at(i).dir);
        List2->addItem(list.at(i).name);
    }
}

void Form2::drive1Change() {
    followDrive(Drive1, Dir1, m_main.programFolder().path());
}

QString Form2::targetFolder() const {
    return folderWithSeparator(Dir1->path());
}

QString bmpFailureMessage(const QStringList& failures, const QString& kind) {
    return QStringLiteral("These pictures were not saved as %1 files:\n").arg(kind) +
           failures.join(QLatin1Char('\n')) +
           QStringLiteral("\nCheck that the pictures exist and that the folder can be "
                          "written to, then save them again.");
}

void Form2::command1Click() {
    if (m_kind == Png) {
        const QStringList failures =
            savePngs(m_pngJobs, targetFolder(), m_main.project().masks().whiteWhereDrawn);
        if (!failures.isEmpty())
            m_main.interaction().message(bmpFailureMessage(failures, QStringLiteral("PNG")),
                                         QStringLiteral("Error"));
    } else if (List2->count() > 0) {
        auto* convert = new Form3(&m_main);
        m_main.setForm(3, convert);
        for (int k = 0; k < List1->count(); ++k)
            convert->List1->addItem(List1->item(k)->text());
        for (int k = 0; k < List2->count(); ++k)
            convert->List2->addItem(List2->item(k)->text());
        convert->Text1->setText(Text1->text());
        convert->Text2->setText(targetFolder());
        Interaction& ui = m_main.interaction();
        connect(convert, &Form3::finished, &m_main, [&ui](const QStringList& failures) {
            if (!failures.isEmpty())
                ui.message(bmpFailureMessage(failures), QStringLiteral("Error"));
        });
        convert->show();
        convert->startconvert();
    }
    close();
}
