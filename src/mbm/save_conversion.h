// Writing the work copies of a save: the bitmaps in temp that the build reads and deletes.
#pragma once
#include "jobs/result.h"

#include <QString>

/// Loads the picture at `source` (BMP, JPEG or GIF, recognised by content) and writes it as
/// a Windows bitmap file at `target`, replacing a file there. Unlike convertPicture it writes
/// straight into the file without flushing it to disk, since the copy lives only until the
/// build has read it; a failed write removes the partial file. Fails with a message naming
/// the file that could not be read or written.
Status convertToWorkCopy(const QString& source, const QString& target);
