#include "ui/browser_widgets.h"

#include "jobs/folder_listing.h"
#include "jobs/platform.h"
#include "project/list_commands.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("Drive1"));
    addItems(platform::driveRoots());
}

QString DriveList::driveOf(const QString& path) const {
    const QString p = QDir::fromNativeSeparators(path);
    QString best;
    for (int i = 0; i < count(); ++i) {
        const QString root = QDir::fromNativeSeparators(itemText(i));
        if (p.startsWith(root, Qt::CaseInsensitive) && root.size() > best.size())
            best = itemText(i);
    }
    return best;
}

void DriveList::setDriveOf(const QString& path) {
    const int i = findText(driveOf(path));
    if (i >= 0) setCurrentIndex(i);
}

void followDrive(DriveList* drive, DirList* dir, const QString& fallback) {
    const QString root = drive->drive();
    // Stay in the current folder when it lies on the chosen drive, else go to its root.
    if (!dir->path().isEmpty() && drive->driveOf(dir->path()) == root) return;
    if (!dir->setPath(root)) {
        // A drive that cannot be opened: back to the drive of `fallback`, silently.
        QSignalBlocker block(drive);
        drive->setDriveOf(fallback);
        dir->setPath(drive->drive());
    }
}

DirList::DirList(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("Dir1"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
    connect(this, &QListWidget::itemDoubleClicked, this, &DirList::open);
}

bool DirList::setPath(const QString& folder) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir() || !info.isReadable()) return false;
    m_path = QDir::toNativeSeparators(QDir::cleanPath(info.absoluteFilePath()));
    fill();
    emit pathChanged(m_path);
    return true;
}

void DirList::fill() {
    clear();
    // The chain from the root down to the current folder, then the sub-folders.
    QStringList chain;
    QDir d(m_path);
    do {
        chain.prepend(QDir::toNativeSeparators(d.absolutePath()));
    } while (d.cdUp());
    int depth = 0;
    for (const QString& p : chain) {
        const QString name = QFileInfo(p).fileName().isEmpty() ? p : QFileInfo(p).fileName();
        auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(Qt::UserRole, p);
        ++depth;
    }
    setCurrentRow(count() - 1);
    for (const QString& sub : listSubfolders(m_path)) {
        auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + sub, this);
        item->setData(Qt::UserRole, joinFolder(m_path, sub));
    }
}

void DirList::open(QListWidgetItem* item) {
    if (item) setPath(item->data(Qt::UserRole).toString());
}

FileList::FileList(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("File1"));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void FileList::setPath(const QString& folder) {
    m_path = folder;
    refresh();
}

void FileList::setPattern(const QString& pattern) {
    m_pattern = pattern;
    refresh();
}

QStringList FileList::selectedNames() const {
    QStringList names;
    for (int i = 0; i < count(); ++i)
        if (item(i)->isSelected()) names << item(i)->text();
    return names;
}

void FileList::selectNames(const QStringList& names, const QString& current) {
    for (int i = 0; i < count(); ++i) {
        QListWidgetItem* it = item(i);
        if (it->text() == current)
            setCurrentItem(it, names.contains(current) ? QItemSelectionModel::Select
                                                       : QItemSelectionModel::NoUpdate);
        if (names.contains(it->text())) it->setSelected(true);
    }
}

void FileList::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        mods == Qt::NoModifier) {
        emit addRequested();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        emit selectAllRequested();
        event->accept();
        return;
    }
    const QModelIndex before = currentIndex();
    QListWidget::keyPressEvent(event);
    if (currentIndex().isValid() && currentIndex() != before)
        emit currentMovedByKey(currentIndex().row());
}

void FileList::refresh() {
    clear();
    if (!m_path.isEmpty()) addItems(listMatchingFiles(m_path, m_pattern));
}
