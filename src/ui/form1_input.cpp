// The main window beyond mouse and menus: keys in the lists, window-wide keys, files
// dropped from a file manager, and the files of the command line.
#include "ui/form1.h"

#include "jobs/platform.h"
#include "project/command_line.h"
#include "project/list_commands.h"
#include "project/project_commands.h"
#include "ui/form5.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>

void Form1::setUpDesktopInput() {
    m_openUrl = &platform::openUrl;

    // The selection drives the preview from the keyboard as a click does.
    connect(File1, &FileList::currentMovedByKey, this, [this] { file1Click(); });
    connect(DisplayList, &ProjectListView::currentMovedByKey, this,
            [this](int row) { displayListClick(row); });
    connect(File1, &FileList::addRequested, this, &Form1::command2Click);
    connect(File1, &QListWidget::itemDoubleClicked, this, [this] { command2Click(); });
    connect(File1, &FileList::selectAllRequested, this, &Form1::command1Click);
    connect(DisplayList, &ProjectListView::selectAllRequested, this, &Form1::command4Click);
    connect(DisplayList, &ProjectListView::removeRequested, this, &Form1::removeByKey);
    connect(DisplayList, &ProjectListView::stepRequested, this, &Form1::moveByStep);
    connect(DisplayList, &ProjectListView::moveRequested, this, &Form1::moveToRow);
    // A drop is taken once the file manager has been told it succeeded: reading an archive
    // blocks for a while.
    connect(DisplayList, &ProjectListView::filesDropped, this,
            [this](const std::vector<HandedFile>& files) {
                QTimer::singleShot(0, this, [this, files] { takeDroppedFiles(files); });
            });

    // The pattern box takes what is typed as it is: no completion, and Enter applies the
    // pattern without adding it to the drop-down.
    Combo1->setCompleter(nullptr);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    connect(Combo1->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { File1->setPattern(Combo1->currentText()); });
    // A file dropped on the pattern box is an archive to open, not text to insert.
    Combo1->lineEdit()->setAcceptDrops(false);
    setAcceptDrops(true);

    auto windowKey = [this](const char* name, const QKeySequence& keys, void (Form1::*handler)()) {
        auto* a = new QAction(this);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, handler);
        addAction(a);
    };
    windowKey("userguide", QKeySequence(Qt::Key_F1), &Form1::userGuide);
    windowKey("refresh", QKeySequence(Qt::Key_F5), &Form1::refreshBrowser);
}

void Form1::removeByKey() {
    const std::vector<int> rows = list().selectedIndices();
    if (rows.empty()) return;
    removeSelectedWithMasks();
    if (list().count() == 0) return;
    // Go on from where the first removed entry stood, so Delete can be pressed again.
    const int row = std::min(rows.front(), list().count() - 1);
    list().selectionModel()->setCurrentIndex(list().index(row, ProjectList::RowText),
                                             QItemSelectionModel::ClearAndSelect);
    displayListClick(row);
}

void Form1::addPictures(const QStringList& paths, const QString& colour) {
    if (paths.isEmpty()) return;
    appendPictures(pictureEntries(paths, colour));
}

void Form1::takeFiles(const std::vector<HandedFile>& files, const QString& colour) {
    QStringList pictures;
    for (const HandedFile& f : files) {
        if (f.kind == FileKind::Picture) {
            pictures << f.path;
        } else if (f.kind == FileKind::Archive) {
            // Pictures before the archive go before its bitmaps.
            addPictures(pictures, colour);
            pictures.clear();
            importArchive(f.path);
        }
    }
    addPictures(pictures, colour);
}

void Form1::takeDroppedFiles(const std::vector<HandedFile>& files) {
    takeFiles(files, colourselection->currentText());
}

void Form1::startWith(const CommandLine& commandLine) {
    if (!commandLine.errors.isEmpty()) {
        interaction().message(commandLineErrorMessage(commandLine.errors), QStringLiteral("Error"));
        return;
    }
    std::vector<HandedFile> rest;
    bool opened = false;
    for (const HandedFile& f : commandLine.files) {
        if (!opened && f.kind == FileKind::Archive) {
            openArchive(f.path);
            opened = true;
        } else {
            rest.push_back(f);
        }
    }
    takeFiles(rest, colourSwitches().at(kDefaultSwitchIndex));
}

void Form1::userGuide() {
    openPage(interaction(), m_openUrl, userGuideUrl(programFolder()));
}

void Form1::refreshBrowser() {
    QString folder = Dir1->path();
    while (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        const QString up = QFileInfo(folder).path();
        if (up == folder) break;
        folder = up;
    }
    const QStringList selected = File1->selectedNames();
    const QString current = File1->currentItem() ? File1->currentItem()->text() : QString();
    if (!Dir1->setPath(folder)) return;
    {
        // The folder may now lie on another drive; the drive list follows without a jump.
        QSignalBlocker block(Drive1);
        Drive1->setDriveOf(Dir1->path());
    }
    File1->selectNames(selected, current);
}

// One archive dropped outside the Project list is opened; the list itself takes its own
// drops (pictures and archives) before they get here.
static QString archiveToOpen(const QMimeData* mime) {
    if (!mime->hasUrls()) return {};
    QString archive;
    for (const HandedFile& f : handedFiles(mime->urls())) {
        if (f.kind != FileKind::Archive) continue;
        if (!archive.isEmpty()) return {}; // only one archive can be opened
        archive = f.path;
    }
    return archive;
}

static void answerDrag(QDragMoveEvent* event) {
    if (!archiveToOpen(event->mimeData()).isEmpty() &&
        (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    answerDrag(event);
}

void Form1::dragMoveEvent(QDragMoveEvent* event) {
    answerDrag(event);
}

void Form1::dropEvent(QDropEvent* event) {
    const QString archive = archiveToOpen(event->mimeData());
    if (archive.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    QTimer::singleShot(0, this, [this, archive] { openArchive(archive); });
}
