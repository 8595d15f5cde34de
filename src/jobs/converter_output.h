// What the converter's console output, redirected into a work file (error.log of a build,
// temp.log of a listing), tells about its run.
#pragma once
#include <QString>
#include <QStringList>

/// The converter's output file, taken apart. Where the batch interpreter `batchrun` runs
/// the batch, a program line that fails leaves one more line in that file:
/// "batchrun: <kind>: <what happened>" with the kind "start", "signal" or "exit". The
/// Windows command interpreter leaves nothing of the kind: there a converter that crashed
/// or never ran shows only by its missing banner.
struct ConverterOutput {
    /// The converter's own lines, without the batch interpreter's record.
    QStringList lines;
    /// The converter's banner ("BMCONV version ...") is there: it started and reported.
    bool reported = false;
    /// The batch interpreter's record of a failed run ("" when there is none) and its kind.
    QString failure;
    QString failureKind;

    /// True when the converter did not run to an answer of its own: it could not be started,
    /// a signal ended it, or it wrote no banner at all.
    bool brokeDown() const;
    /// Why the converter broke down, as a sentence for the user (empty when it did not).
    QString breakdown() const;
    /// The converter's own message: its lines after the report header, or "" without one.
    QString message() const;
};

/// Reads the converter's output file at `path` (a missing file reads as an empty one).
ConverterOutput readConverterOutput(const QString& path);

/// The converter's own message in a build's error.log (its lines after the report header,
/// without the batch interpreter's record), or an empty text when there is none.
QString converterMessage(const QString& errorLogPath);
