// Tools > Archive type and Tools > Write C++ header: what a save builds besides the bitmaps.
#include "project/project_commands.h"
#include "ui/form1.h"

#include <QActionGroup>
#include <QMenu>

void Form1::buildArchiveMenu(QMenu* tools) {
    QMenu* types = tools->addMenu(tr("Archive &type"));
    types->setObjectName(QStringLiteral("archivetype"));
    types->menuAction()->setObjectName(QStringLiteral("archivetype"));
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    const struct {
        ArchiveType type;
        const char* name;
        QString caption;
    } items[] = {
        {ArchiveType::FileStore, "filestore", tr("&File store")},
        {ArchiveType::UncompressedFileStore, "uncompressedfilestore",
         tr("&Uncompressed file store")},
        {ArchiveType::RomImage, "romimage", tr("&ROM image")},
        {ArchiveType::CompressedRomImage, "compressedromimage", tr("&Compressed ROM image")},
    };
    for (const auto& item : items) {
        QAction* a = types->addAction(item.caption);
        a->setObjectName(QLatin1String(item.name));
        a->setCheckable(true);
        group->addAction(a);
        const ArchiveType type = item.type;
        connect(a, &QAction::triggered, this, [this, type] { setArchiveType(type); });
        archiveTypeItems[int(type)] = a;
    }
    writeheader = tools->addAction(tr("Write C++ &header (.mbg)"));
    writeheader->setObjectName(QStringLiteral("writeheader"));
    writeheader->setCheckable(true);
    writeheader->setChecked(m_project.writesHeader());
    connect(writeheader, &QAction::toggled, this, &Form1::setWriteHeader);
    // Undo and redo change it too; the item follows without making another step.
    connect(&m_project, &Project::writesHeaderChanged, writeheader, &QAction::setChecked);

    // The menu shows the project's type, however it changed (New, Open, the menu itself).
    auto show = [this](ArchiveType type) { archiveTypeItems[int(type)]->setChecked(true); };
    connect(&m_project, &Project::archiveTypeChanged, this, show);
    show(m_project.archiveType());
}

void Form1::setArchiveType(ArchiveType type) {
    pushSetting(m_project, QStringLiteral("archiveType"), int(type));
}

void Form1::setWriteHeader(bool on) {
    pushSetting(m_project, QStringLiteral("writeHeader"), on);
    if (writeheader->isChecked() != on) writeheader->setChecked(on);
}
