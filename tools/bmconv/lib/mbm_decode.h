// Decoding whole bitmaps of an archive: stored data in, pixel-buffer rows out.
#pragma once
#include "mbm_parse.h"

#include <functional>
#include <vector>

namespace bmconv {

/// Receives one row of the pixel buffer (stride bytes), top row first; returns false to
/// stop (the decode then fails with the code and problem the callback left in `status`).
using RowSink = std::function<bool(const uint8_t* row)>;

/// Decodes the stored data of bitmap `info` (number `ordinal`, counted from 1). With an
/// empty `onRow` it only checks that the data fills the pixel buffer exactly, looking at the
/// records' control bytes only. Fails with kDecompressionError naming the problem when the
/// data is damaged.
ReadStatus decodeBitmap(ArchiveReader& reader, const BitmapInfo& info, size_t ordinal,
                        const RowSink& onRow);

/// The same, with the decoded rows held in `scratch`, which the caller keeps for the next
/// bitmap so memory is taken once.
ReadStatus decodeBitmap(ArchiveReader& reader, const BitmapInfo& info, size_t ordinal,
                        const RowSink& onRow, std::vector<uint8_t>& scratch);

/// Checks every bitmap of an opened archive: headers, and the stored data of the first
/// `decodeCount` bitmaps (all of them when it is larger than the count). A bitmap that
/// several table entries share is decoded once.
ReadStatus checkArchive(ArchiveReader& reader, size_t decodeCount);

} // namespace bmconv
