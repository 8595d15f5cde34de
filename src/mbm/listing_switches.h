// The colour switches a reading run takes from the listing of `bmconv /v`.
#pragma once
#include "project/archive_type.h"

#include <QString>
#include <QStringList>

/// True when line number `n` (counted from 1) of a listing is a Colour line: n = 9 + 6k,
/// that is (n - 3) / 6 a whole number other than 0.
bool isColourLine(int n);

/// The colour switch of one Colour line. Case-sensitive: a line holding "Bpp Colour" gives
/// "/c" and the rest of the line with every "Bpp Colour" replaced by a blank and outer
/// blanks (spaces only; tabs stay) removed; otherwise "Bpp Monochrome" the same way with
/// "/"; otherwise "/c8". The rest is not checked for being a number. A bitmap with alpha
/// ("32 Bpp Colour with alpha channel") gives "/c32a"; at any other depth, where no switch
/// keeps alpha, the depth's own switch ("/c24").
QString switchFromColourLine(const QString& line);

/// One switch per Colour line of `lines` (line 1 first), in listing order. Every other line
/// is ignored; an empty listing gives no switch.
QStringList switchesFromListing(const QStringList& lines);

/// The archive type a listing describes: a ROM image or a file store by its title line
/// (" is a ROM image " / " is a File store "), compressed when any of its bitmaps is. A file
/// store none of whose bitmaps is compressed is an uncompressed file store, so a save of the
/// same bitmaps lists the same way.
ArchiveType archiveTypeFromListing(const QStringList& lines);
