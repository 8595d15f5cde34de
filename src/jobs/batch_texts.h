// The texts of every job batch, line by line (line ends are added when written).
#pragma once
#include "jobs/program_folder.h"
#include "jobs/result.h"

#include <QStringList>

/// Whether `folder` can be written into a batch line (the drive and cd lines) safely: no
/// line break or other control character, no `"` and no `%`, and nothing the batch file's
/// 8-bit code page cannot hold. Fails with one message naming the folder and the character.
Status checkBatchFolder(const QString& folder);

/// The head lines: the drive line where the work root has a drive, then
/// `cd "<work root><suffix>"`, where suffix is the separator and the work folder's name, with
/// a trailing separator when asked.
QStringList batchHead(const ProgramFolder& pf, const QString& workFolder, bool trailingSeparator);

/// The marker line: echo "<word>" > end.log
QString markerLine(const QString& word);

/// mbmcreater.bat in temp: runs the build, deletes the converted bitmaps (and the other
/// inputs named with them), the command file and the tool copy, then writes the marker "Done".
QStringList buildBatch(const ProgramFolder& pf, const QStringList& convertedNames);
/// cleanup.bat in temp: deletes the marker, the build batch, the intermediate outputs (the
/// archive, a header) and itself.
QStringList buildCleanupBatch(const ProgramFolder& pf, const QStringList& outputNames);
/// scan.bat in tempextract: lists the archive into temp.log, then writes the marker "done".
QStringList scanBatch(const ProgramFolder& pf, const QString& mbmName);
/// extract.bat in tempextract: splits the archive as extract.txt says.
QStringList extractBatch(const ProgramFolder& pf);
/// cleanup.bat of a reading run in tempextract: deletes the run's work files, keeps the bitmaps.
QStringList readingCleanupBatch(const ProgramFolder& pf, const QString& mbmName);
/// cleanup.bat of clean_up in tempextract: deletes every bitmap, text, program and log file.
/// The only batch whose del lines hold wildcards.
QStringList generalCleanupBatch(const ProgramFolder& pf);
