// The check a built archive passes before it may replace the user's file.
#pragma once
#include "jobs/result.h"

#include <QString>

/// True when the converter's report in `reportPath` (error.log of the build) says that it
/// compiled exactly `entries` bitmaps and succeeded: one "Bitmap file" line per entry and
/// "Success." as its message. Fails with what the report says instead.
Status checkConverterReport(const QString& reportPath, int entries);

/// True when the file at `path` is a whole archive of exactly `entries` bitmaps, by its own
/// layout: a File store whose trailer lists the bitmaps end to end from offset 20 up to the
/// trailer, which ends the file (trailer offset + 4 + 4 x count = file size), or a ROM image
/// whose 8 + 4 x count offset table is followed by the records end to end up to the end of
/// the file. Reads only the headers, offsets and sizes. Fails with what is wrong.
Status checkArchiveLayout(const QString& path, int entries);

/// Both checks: the converter's report, then the file.
Status checkBuiltArchive(const QString& path, const QString& reportPath, int entries);
