// Text files as every batch, command file and export is written: created new, one line
// per write, CR LF line ends, the system's 8-bit code page.
#pragma once
#include "jobs/result.h"

#include <QStringList>

/// Writes `lines`, each followed by CR LF, into a new file at `path` (replacing one that is
/// there). Fails with a message naming the file when it cannot be created or written.
Status writeLines(const QString& path, const QStringList& lines);

/// Reads a text file written in the system's 8-bit code page into lines without their line
/// ends (CR LF or LF). A missing or unreadable file gives an empty list.
QStringList readLines(const QString& path);
