// The command-file export: the Project list as a command file the converter reads.
#pragma once
#include "jobs/result.h"
#include "project/project_list.h"

#include <QStringList>

/// The output name the exported command file names in its first line.
inline const QString kExportOutputName = QStringLiteral("tempfile.mbm");

/// The lines of the exported command file: "tempfile.mbm", then every entry's row text
/// (switch glued to the file name, no folder), first to last.
QStringList commandExportLines(const ProjectList& list);

/// Writes the export of `list` to exactly `path` (no extension added; a file there is
/// replaced only by the complete export). Fails with a message naming the file when it
/// cannot be written in full; the file there is then as it was.
Status writeCommandExport(const QString& path, const ProjectList& list);
