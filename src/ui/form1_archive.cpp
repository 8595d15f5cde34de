// Tools > Archive type and Tools > Write C++ header: what a save builds besides the bitmaps.
#include "project/project_commands.h"
#include "ui/choice_menu.h"
#include "ui/form1.h"

#include <QMenu>

void Form1::buildArchiveMenu(QMenu* tools) {
    // The items stand in the order of ArchiveType.
    addChoiceMenu(tools, "archivetype", tr("Archive &type"),
                  {{"filestore", tr("&File store")},
                   {"uncompressedfilestore", tr("&Uncompressed file store")},
                   {"romimage", tr("&ROM image")},
                   {"compressedromimage", tr("&Compressed ROM image")}},
                  archiveTypeItems, [this](int k) { setArchiveType(ArchiveType(k)); });
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
