#include "ui/form1.h"

#include "mbm/picture_formats.h"
#include "project/kept_project.h"
#include "project/list_commands.h"
#include "ui/switch_list_style.h"
#include "ui/twips.h"

#include <QCloseEvent>
#include <QDir>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>

Form1::Form1(const ProgramFolder& programFolder, Interaction& interaction, QWidget* parent)
    : QMainWindow(parent), m_work(programFolder), m_interaction(interaction) {
    setObjectName(QStringLiteral("Form1"));
    auto* client = new QWidget(this);
    client->setFixedSize(px(12375), px(6240));
    setCentralWidget(client);
    buildBrowser();
    buildProjectFrame();
    buildPreviewFrame();
    buildMenus();
    setTabOrder();
    setUpDesktopInput();
    setUpMasks();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &Form1::timer1Tick);
    CommonDialog1 = new CommonDialog(m_interaction, this);

    connect(&m_project, &Project::filenameChanged, this, [this](const QString& f) {
        filename->setText(f);
        // "[*]": the platform's mark for unsaved changes, shown while the undo stack is not
        // at its clean point.
        setWindowTitle(windowTitleFor(f) + QStringLiteral("[*]"));
    });
    m_project.setFilename(kNoname);
    m_keeper.setMaxThreadCount(1);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Start-up: both switch lists on "/c8"; the browser at the process's current folder.
    colourselection->setCurrentIndex(kDefaultSwitchIndex);
    colourselection2->setCurrentIndex(kDefaultSwitchIndex);
    Drive1->setDriveOf(QDir::currentPath());
    Dir1->setPath(QDir::currentPath());
    // A work root that no batch line can carry is refused once, as soon as the window runs.
    QTimer::singleShot(0, this, [this] { batchWorkRefused(); });
}

bool Form1::batchWorkRefused() {
    const Status usable = m_work.usable();
    if (!usable) m_interaction.message(usable.error, QStringLiteral("Error"));
    return !usable;
}

Form1::~Form1() {
    // The undo stack goes after this window's parts and says so as it empties: nothing here
    // may follow it then (nor remove the kept project of a window that never closed).
    disconnect(&m_project.undoStack(), nullptr, this, nullptr);
    // Final closing pass: close every secondary window, ignoring what fails.
    closeSecondaryWindows();
}

static QComboBox* switchList(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(colourSwitches());
    return box;
}

static QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

void Form1::buildBrowser() {
    Frame1 = new QGroupBox(tr("File location"), centralWidget());
    Frame1->setObjectName(QStringLiteral("Frame1"));
    placeTw(Frame1, 120, 120, 2535, 6015);
    Drive1 = new DriveList(Frame1);
    placeTw(Drive1, 120, 240, 2295, 315);
    Dir1 = new DirList(Frame1);
    placeTw(Dir1, 120, 720, 2295, 1440);
    File1 = new FileList(Frame1);
    placeTw(File1, 120, 2280, 2295, 2235);
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->addItems({"*.bmp", "*.jpg", "*.gif", "*.jpg;*.bmp;*.gif"});
    Combo1->addItems(extraPicturePatterns());
    Combo1->setEditText(QStringLiteral("*.jpg;*.bmp;*.gif"));
    placeTw(Combo1, 120, 4680, 2295, 315);
    Command1 = button(Frame1, "Command1", tr("Select all files"));
    placeTw(Command1, 120, 5160, 2295, 255);
    Command2 = button(Frame1, "Command2", tr("Add files"));
    placeTw(Command2, 120, 5520, 1455, 315);
    colourselection = switchList(Frame1, "colourselection");
    placeTw(colourselection, 1680, 5520, 735, 315);
    fitSwitchList(colourselection);

    connect(Drive1, &QComboBox::currentIndexChanged, this, &Form1::drive1Change);
    connect(Dir1, &DirList::pathChanged, File1, &FileList::setPath);
    connect(Combo1, &QComboBox::editTextChanged, File1, &FileList::setPattern);
    connect(Combo1, &QComboBox::activated, this,
            [this](int i) { File1->setPattern(Combo1->itemText(i)); });
    connect(File1, &QListWidget::itemClicked, this, &Form1::file1Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::command1Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::command2Click);
}

void Form1::buildProjectFrame() {
    Frame2 = new QGroupBox(tr("Picture files in project"), centralWidget());
    Frame2->setObjectName(QStringLiteral("Frame2"));
    placeTw(Frame2, 2880, 120, 2535, 6015);
    DisplayList = new ProjectListView(Frame2);
    DisplayList->setProjectList(&list());
    placeTw(DisplayList, 120, 240, 2295, 3570);
    Command7 = button(Frame2, "Command7", tr("Clear all"));
    placeTw(Command7, 120, 3960, 2295, 255);
    Command3 = button(Frame2, "Command3", tr("Remove selected"));
    placeTw(Command3, 120, 4320, 2295, 255);
    Command4 = button(Frame2, "Command4", tr("Select all"));
    placeTw(Command4, 120, 4680, 2295, 255);
    Command5 = button(Frame2, "Command5", tr("Save selected as BMP"));
    placeTw(Command5, 120, 5040, 2295, 350);
    Command6 = button(Frame2, "Command6", tr("Set switch"));
    placeTw(Command6, 120, 5520, 1575, 315);
    colourselection2 = switchList(Frame2, "colourselection2");
    placeTw(colourselection2, 1730, 5520, 735, 315);
    fitSwitchList(colourselection2);

    connect(DisplayList, &QListView::clicked, this,
            [this](const QModelIndex& i) { displayListClick(i.row()); });
    connect(Command3, &QPushButton::clicked, this, &Form1::command3Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::command4Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::command5Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::command6Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::command7Click);
}

static QLineEdit* hiddenField(QWidget* parent, const char* name, const QString& text) {
    auto* f = new QLineEdit(text, parent);
    f->setObjectName(QLatin1String(name));
    f->setReadOnly(true);
    f->hide();
    return f;
}

static QListView* hiddenList(QWidget* parent, const char* name, QAbstractItemModel* model,
                             int column, int left) {
    auto* v = new QListView(parent);
    v->setObjectName(QLatin1String(name));
    v->setModel(model);
    v->setModelColumn(column);
    placeTw(v, left, 5760, 1200, 255);
    v->hide();
    return v;
}

static QPixmap bannerPicture() {
    QPixmap banner(333, 44);
    banner.fill(QColor(64, 64, 64));
    QPainter p(&banner);
    p.setPen(QColor(230, 230, 230));
    QFont f = p.font();
    f.setPixelSize(22);
    f.setBold(true);
    p.setFont(f);
    p.drawText(banner.rect(), Qt::AlignCenter, QStringLiteral("MBM Zembrel"));
    return banner;
}

void Form1::buildPreviewFrame() {
    Frame3 = new QGroupBox(tr("Preview"), centralWidget());
    Frame3->setObjectName(QStringLiteral("Frame3"));
    placeTw(Frame3, 5640, 120, 6615, 4575);
    Image1 = new QLabel(Frame3);
    Image1->setObjectName(QStringLiteral("Image1"));
    placeTw(Image1, 120, 600, 6300, 2010);
    Image1->hide();
    m_preview = new PreviewPane(Frame3, Image1, this);
    filename = hiddenField(Frame3, "filename", kNoname);
    placeTw(filename, 2640, 3960, 735, 285);
    myfile = hiddenField(Frame3, "myfile", QStringLiteral("Text1"));
    placeTw(myfile, 5160, 3960, 735, 285);
    mytitle = hiddenField(Frame3, "mytitle", QStringLiteral("Text1"));
    placeTw(mytitle, 5160, 3360, 375, 285);

    Image2 = new QLabel(centralWidget());
    Image2->setObjectName(QStringLiteral("Image2"));
    placeTw(Image2, 6360, 5040, 4995, 660);
    Image2->setPixmap(bannerPicture());

    dirs = hiddenList(centralWidget(), "dirs", &list(), ProjectList::Dir, 6360);
    names = hiddenList(centralWidget(), "names", &list(), ProjectList::Name, 7680);
    colour = hiddenList(centralWidget(), "colour", &list(), ProjectList::Colour, 9000);
}

void Form1::buildMenus() {
    auto addMenu = [this](const char* name, const QString& caption) {
        QMenu* m = menuBar()->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        return m;
    };
    auto addEntry = [this](QMenu* menu, const char* name, const QString& caption,
                           void (Form1::*handler)(), const QKeySequence& keys = {}) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(keys);
        connect(a, &QAction::triggered, this, handler);
    };
    QMenu* file = addMenu("file", tr("&File"));
    addEntry(file, "new", tr("&New"), &Form1::newProject, QKeySequence(tr("Ctrl+N")));
    addEntry(file, "save", tr("&Save"), &Form1::save, QKeySequence(tr("Ctrl+S")));
    addEntry(file, "saveas", tr("Save &As"), &Form1::saveas, QKeySequence(tr("Ctrl+Shift+S")));
    addEntry(file, "open", tr("&Open"), &Form1::open, QKeySequence(tr("Ctrl+O")));
    addEntry(file, "import", tr("&Import"), &Form1::import, QKeySequence(tr("Ctrl+I")));
    addEntry(file, "exit", tr("E&xit"), &Form1::exitProgram, QKeySequence(tr("Ctrl+Q")));
    buildEditMenu(addMenu("edit", tr("&Edit")));
    buildViewMenu(addMenu("view", tr("&View")));
    QMenu* tools = addMenu("tools", tr("&Tools"));
    addEntry(tools, "exportlist", tr("&Export list"), &Form1::exportlist);
    addEntry(tools, "customlistexport", tr("&Custom list export"), &Form1::customlistexport);
    addEntry(tools, "importdemoicon", tr("Import &demo icon"), &Form1::importdemoicon);
    buildArchiveMenu(tools);
    buildMaskMenu(tools);
    buildDitherItem(tools);
    QMenu* help = addMenu("help", tr("&Help"));
    addEntry(help, "about", tr("&About"), &Form1::about);
}

void Form1::setTabOrder() {
    const QList<QWidget*> order = {
        Drive1,      Dir1,     File1,    Combo1,   Command1, Command2, colourselection,
        DisplayList, Command3, Command4, Command5, Command6, Command7, colourselection2};
    for (int i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

bool Form1::raiseForm(int n) {
    QWidget* w = form(n);
    if (!w) return false;
    w->show();
    w->raise();
    w->activateWindow();
    return true;
}

void Form1::closeSecondaryWindows() {
    for (int n = 7; n >= 2; --n) {
        if (QWidget* w = m_forms[n].data()) {
            w->close();
            delete w;
        }
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closing steps: clean up tempextract, close the other windows, close. Nothing is asked
    // and nothing can stop the window from closing.
    if (!m_closed) {
        m_closed = true;
        // Closing asks nothing and cannot fail: a clean-up that cannot run is let go. The
        // kept project (written at the last change) has copies of the bitmaps it needs.
        m_keeper.waitForDone();
        (void)clean_up();
        list().clear();
        m_project.undoStack().clear();
        closeSecondaryWindows();
    }
    event->accept();
}
