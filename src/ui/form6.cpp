#include "ui/form6.h"

#include "jobs/work_folders.h"
#include "ui/form1.h"
#include "ui/twips.h"

static void initDemoIconResources() {
    Q_INIT_RESOURCE(demo_icons);
}

QString demoIconResource(const char* file) {
    initDemoIconResources();
    return demoIconPath(file);
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
    initDemoIconResources();
    const DemoSet set = Option1->isChecked() ? DemoSet::Qev : DemoSet::MBMZembrel;
    if (Status s = insertDemoSet(set, m_main.workFolders(), m_main.project()); !s)
        m_main.interaction().message(
            QStringLiteral("The demo icons were not added. ") + s.error +
                QStringLiteral("\nCheck that the program folder can be written to."),
            QStringLiteral("Error"));
    close();
}
