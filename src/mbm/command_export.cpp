#include "mbm/command_export.h"

#include "jobs/text_file.h"

QStringList commandExportLines(const ProjectList& list) {
    QStringList lines{kExportOutputName};
    lines.reserve(list.count() + 1);
    for (const BitmapEntry& e : list.entries())
        lines << e.rowText();
    return lines;
}

Status writeCommandExport(const QString& path, const ProjectList& list) {
    return writeLinesAtomically(path, commandExportLines(list));
}
