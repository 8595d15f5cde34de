// The files through which the editor and its batches talk in the work folders, and the
// status texts of the jobs: named once here, used by the batch texts, the save, the
// reading run and the clean-ups.
#pragma once
#include <QString>

namespace work_files {
/// The two work folders under the work root.
inline const QString kTempFolder = QStringLiteral("temp");
inline const QString kTempextractFolder = QStringLiteral("tempextract");

/// The converter, as it lies in the program folder and as each job copies it.
inline const QString kBmconv = QStringLiteral("bmconv.exe");
/// The batch interpreter beside the editor where there is no Windows command interpreter.
inline const QString kBatchrun = QStringLiteral("batchrun");

/// The completion marker every waited-for batch writes last.
inline const QString kEndLog = QStringLiteral("end.log");
/// The marker words: the build's with a capital D, the listing's in lower case.
inline const QString kBuildMarkerWord = QStringLiteral("Done");
inline const QString kScanMarkerWord = QStringLiteral("done");
/// The clean-up batch of each work folder; it deletes itself as its last line.
inline const QString kCleanupBat = QStringLiteral("cleanup.bat");

/// The build in temp: command file, batch and the converter's report.
inline const QString kBuildCommandFile = QStringLiteral("mbmcreater.txt");
inline const QString kBuildBat = QStringLiteral("mbmcreater.bat");
inline const QString kErrorLog = QStringLiteral("error.log");
/// The file in temp that hands the converter the names of the header's identifiers.
inline const QString kIdentifierNamesFile = QStringLiteral("mbmnames.txt");

/// The reading run in tempextract: listing batch and listing, split command file and batch.
inline const QString kScanBat = QStringLiteral("scan.bat");
inline const QString kTempLog = QStringLiteral("temp.log");
inline const QString kExtractCommandFile = QStringLiteral("extract.txt");
inline const QString kExtractBat = QStringLiteral("extract.bat");

/// The pattern of the temporary files a converter leaves when it is killed mid-run.
inline const QString kStaleTemporaries = QStringLiteral("*.tmp");
} // namespace work_files

/// The status texts of a save, in the order the build shows them.
namespace save_status {
inline const QString kSaving = QStringLiteral("Saving ... (plz have patience)");
inline const QString kCopying = QStringLiteral("Copying ...");
inline const QString kCleaning = QStringLiteral("Cleaning up ...");
inline const QString kDone = QStringLiteral("Saving done...");
} // namespace save_status

/// The status texts of a reading run, in the order the run shows them.
namespace reading_status {
inline const QString kCopying = QStringLiteral("Copying mbm file to temp dir");
inline const QString kScanning = QStringLiteral("Scanning mbm file");
inline const QString kPreparing = QStringLiteral("Preparing for extraction");
inline const QString kExtracting = QStringLiteral("Extracting");
inline const QString kCreatingProject = QStringLiteral("Done, creating project.");
inline const QString kCleaning = QStringLiteral("Cleaning up");
} // namespace reading_status
