#include "ui/form6.h"

#include "jobs/atomic_write.h"
#include "jobs/work_folders.h"
#include "project/list_commands.h"
#include "project/project_commands.h"
#include "ui/form1.h"
#include "ui/twips.h"

#include <QDir>
#include <QFile>

static void initDemoIconResources() {
    Q_INIT_RESOURCE(demo_icons);
}

namespace {

const DemoIcon kQev[kDemoIconsPerSet] = {{"IconBigQev.bmp", "/c12"},
                                         {"IconBigQevMask.bmp", "/1"},
                                         {"IconSmallQev.bmp", "/c12"},
                                         {"IconSmallQevMask.bmp", "/1"}};
const DemoIcon kOwn[kDemoIconsPerSet] = {{"IconBigMBMZembrel.bmp", "/c12"},
                                         {"IconBigMBMZembrelMask.bmp", "/1"},
                                         {"IconSmallMBMZembrel.bmp", "/c12"},
                                         {"IconSmallMBMZembrelMask.bmp", "/1"}};

Status copyResource(const QString& from, const QString& to) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return Status::failure(
            QStringLiteral("The demo icon %1 is missing from the program.").arg(from));
    return writeFileAtomically(to, in.readAll());
}

} // namespace

const DemoIcon* demoIcons(DemoSet set) {
    return set == DemoSet::Qev ? kQev : kOwn;
}

QString demoIconResource(const char* file) {
    initDemoIconResources();
    return QStringLiteral(":/demoicons/") + QLatin1String(file);
}

Status insertDemoSet(DemoSet set, WorkFolders& work, Project& project) {
    const ProjectList& list = project.list();
    const ProgramFolder& pf = work.programFolder();
    if (list.count() > ProjectList::kMaxEntries - kDemoIconsPerSet)
        return Status::failure(listFullMessage(kDemoIconsPerSet));
    // A clean-up batch still running in tempextract would delete the files just written.
    work.waitForCleanUp();
    // On a fresh installation nothing has created the work folder yet.
    if (!QDir().mkpath(pf.tempextract()))
        return Status::failure(
            QStringLiteral("Could not create the work folder %1.").arg(pf.tempextract()));
    const DemoIcon* icons = demoIcons(set);
    // All four files are written before the first entry is added.
    for (int i = 0; i < kDemoIconsPerSet; ++i) {
        const QString target = pf.inTempextract(QLatin1String(icons[i].file));
        if (Status s = copyResource(demoIconResource(icons[i].file), target); !s) return s;
    }
    const QString dir = folderWithSeparator(pf.tempextract());
    std::vector<BitmapEntry> entries;
    for (int i = 0; i < kDemoIconsPerSet; ++i)
        entries.push_back({QLatin1String(icons[i].colour), dir, QLatin1String(icons[i].file)});
    pushAppend(project, entries, QStringLiteral("Import demo icons"));
    return Status::success();
}

Form6::Form6(Form1& main) : ToolWindow(main) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(tr("Import demo icons"));
    setFixedSize(px(4320), px(2880));

    Option1 = new QRadioButton(tr("Qev demo icons"), this);
    Option1->setObjectName(QStringLiteral("Option1"));
    placeTw(Option1, 120, 360, 2820, 375);
    Option2 = new QRadioButton(tr("MBM Zembrel demo icons"), this);
    Option2->setObjectName(QStringLiteral("Option2"));
    placeTw(Option2, 120, 1320, 2820, 375);

    QLabel** holders[] = {&Picture1, &Picture2, &Picture3, &Picture4,
                          &Picture5, &Picture6, &Picture7, &Picture8};
    for (int k = 0; k < 8; ++k) {
        const DemoIcon& icon = demoIcons(k < 4 ? DemoSet::Qev : DemoSet::MBMZembrel)[k % 4];
        QLabel* holder = new QLabel(this);
        holder->setObjectName(QStringLiteral("Picture%1").arg(k + 1));
        holder->setPixmap(QPixmap(demoIconResource(icon.file)));
        holder->hide();
        *holders[k] = holder;
    }
    // Only the big icons are shown, each beside its option.
    placeTw(Picture1, 3120, 120, 960, 750);
    Picture1->show();
    placeTw(Picture5, 3120, 1080, 960, 750);
    Picture5->show();

    Command1 = new QPushButton(tr("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    placeTw(Command1, 120, 2280, 1215, 375);
    Command2 = new QPushButton(tr("Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    placeTw(Command2, 1455, 2280, 1215, 375);

    Option1->setChecked(true);
    connect(Command1, &QPushButton::clicked, this, &Form6::command1Click);
    connect(Command2, &QPushButton::clicked, this, &Form6::reject);
}

void Form6::command1Click() {
    const DemoSet set = Option1->isChecked() ? DemoSet::Qev : DemoSet::MBMZembrel;
    if (Status s = insertDemoSet(set, m_main.workFolders(), m_main.project()); !s)
        m_main.interaction().message(
            QStringLiteral("The demo icons were not added. ") + s.error +
                QStringLiteral("\nCheck that the program folder can be written to."),
            QStringLiteral("Error"));
    close();
}
