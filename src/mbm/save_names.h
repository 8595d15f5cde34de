// The names a save uses inside the work folder temp: one work bitmap per entry and the
// intermediate output. Every name written into the command file or a batch line is bare
// (never quoted), so these names are chosen to need no quoting anywhere.
#pragma once
#include "project/project_list.h"

#include <QString>
#include <QStringList>
#include <vector>

/// True when `name` can stand bare in a batch line and in the converter's command file:
/// only ASCII letters, digits and . _ - + ~ # @ $ ( ) [ ] { } ' (no blanks, no wildcards, no
/// characters a command interpreter would act on such as & | < > ^ % , ; =), not empty.
bool isBareName(const QString& name);

/// True when `name` can follow a colour switch in the command file: a bare name that does
/// not start with a digit (the converter would read the digit as part of the switch) nor
/// with "a" or "A" (the SDK converter reads it as the alpha flag of /c32a).
bool isBarePictureName(const QString& name);

/// `name` with every character that isBareName refuses replaced by '_'.
QString bareVersionOf(const QString& name);

/// The work bitmap name of every entry, in list order. An entry keeps its converted name
/// (convertedName(name)) unless that name cannot stand bare or another picture already
/// took it (names compare case-insensitively, as on the target's file systems); such an
/// entry gets a bare name of its own: the converted name with unusable characters made
/// "_" and, where still taken, a number before the extension ("pic_2.bmp"); one that would
/// start with a digit or "a"/"A" gets a "p" in front ("p2x.bmp", "papple.bmp"). No work name
/// ends in "-alpha.bmp": those are the alpha files of /c32a bitmaps.
/// Entries naming the very same file (same folder and name) share one work bitmap, unless
/// `variants` (empty, or one text per entry) tells them apart; its /c32a entries always
/// share one apart from the others (it keeps the colour under transparency, which the
/// others' flattens).
QStringList workBitmapNames(const std::vector<BitmapEntry>& entries,
                            const QStringList& variants = {});

/// The intermediate output name for the build: `title` (the save dialog's file title) when
/// it can stand bare as the converter's first argument and clashes with no work file;
/// otherwise a bare name made from it, or "archive.mbm" with a number when that clashes too.
/// `taken` holds the names already used in the work folder (the work bitmaps).
QString outputNameFor(const QString& title, const QStringList& taken);

/// The fixed files of a build in temp, which no picture or output may be named like.
const QStringList& reservedWorkNames();
