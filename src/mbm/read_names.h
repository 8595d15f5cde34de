// The names a reading run gives its files in tempextract, and the extraction command file.
#pragma once
#include <QString>
#include <QStringList>
#include <QTime>

/// The Run stamp for a time of day: hh-mm-ss in 24-hour form (14:03:27 gives "14-03-27").
QString runStampFor(const QTime& time);

/// `base`, or when extracted bitmaps of that stamp already lie in `folder`, the first of
/// base + "a", base + "b", ... base + "z", base + "aa", ... that has none, so a run never
/// overwrites the bitmaps of an earlier run (two runs in one second).
QString uniqueRunStamp(const QString& base, const QString& folder);

/// The extracted bitmap name of bitmap k: "image" + stamp + "_" + k + ".bmp".
QString extractedBitmapName(const QString& stamp, int k);

/// extract.txt: "/u " + the archive's name, then the extracted bitmap names 0 to n - 1.
QStringList extractCommandLines(const QString& mbmName, const QString& stamp, int n);

/// True when `name` can stand bare in a batch line and a command file: not empty, no blank,
/// tab, control character, wildcard or one of " & | < > ^ % , ; = / \, ASCII only, not the
/// name of one of the run's own work files, not a ".bmp" name (the extracted bitmaps) and
/// not starting with "-".
bool isBareSafeName(const QString& name);

/// The name under which an archive whose own name is not bare-safe is copied into
/// tempextract: "archive" + stamp + ".mbm".
QString safeArchiveName(const QString& stamp);

/// The name of the archive's copy in tempextract, which the run's batches (and the
/// clean-up's del line) name: `mbmName` when it is bare-safe and the archive does not lie in
/// tempextract itself, otherwise safeArchiveName(stamp).
QString readingWorkName(const QString& mbmName, bool inWorkFolder, const QString& stamp);
