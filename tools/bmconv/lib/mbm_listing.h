// The text of an archive listing (/v), line for line as the SDK converter prints it.
#pragma once
#include "mbm_parse.h"

#include <ostream>
#include <string>

namespace bmconv {

/// "<name> is a File store containing <n> bitmaps" (ROM image, singular for one bitmap).
void printListingHead(std::ostream& out, const std::string& name, ArchiveKind kind, size_t count);

/// The six lines of bitmap `ordinal` (counted from 1): an empty line, then its number,
/// pixel size, twips size, depth and colour, compression. The depth line is the fourth.
void printBitmapEntry(std::ostream& out, size_t ordinal, const BitmapInfo& info);

/// The compression line's percentage: stored data as a share of the pixel buffer, rounded
/// down; 0 for an empty buffer.
uint64_t compressionPercent(const BitmapInfo& info);

} // namespace bmconv
