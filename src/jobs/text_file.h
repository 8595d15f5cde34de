// Text files as every batch, command file and export is written: created new, one line
// per write, CR LF line ends, the system's 8-bit code page.
#pragma once
#include "jobs/result.h"

#include <QStringList>

/// The bytes of a text file of `lines`: each line in the 8-bit code page, then CR LF.
QByteArray textFileBytes(const QStringList& lines);

/// Writes `lines`, each followed by CR LF, into a new file at `path` (replacing one that is
/// there), for the work files of the jobs. Fails with a message naming the file when it
/// cannot be created or written in full; a file that could not be written in full is
/// removed, so no job ever runs half a batch.
Status writeLines(const QString& path, const QStringList& lines);

/// Writes `lines` likewise for a file of the user (an export): through writeFileAtomically,
/// so a failure leaves the file at `path` as it was and no partial file beside it.
Status writeLinesAtomically(const QString& path, const QStringList& lines);

/// Reads a text file written in the system's 8-bit code page into lines without their line
/// ends (CR LF or LF). A missing or unreadable file gives an empty list.
QStringList readLines(const QString& path);
