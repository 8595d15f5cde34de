// The fixed values of the multi-bitmap archive layout, shared by the writer, the reader and
// the editor's check of a built archive.
#pragma once
#include <cstdint>

namespace bmconv {

constexpr uint32_t kFileStoreUid1 = 0x10000037;
constexpr uint32_t kFileStoreUid2 = 0x10000042;
/// The checksum word after the file store's three UIDs (the third is 0).
constexpr uint32_t kFileStoreChecksum = 0x47396439;
constexpr uint32_t kRomImageUid = 0x10000041;
constexpr uint32_t kRomRecordUid = 0x10000040;
/// The file store's header: UIDs, checksum and the offset of the bitmap table.
constexpr uint32_t kFileStoreHeaderLength = 20;
/// A bitmap header as the archive holds it.
constexpr uint32_t kHeaderLength = 40;
/// A ROM image's bitmap record: its UID, header fields and display mode.
constexpr uint32_t kRomRecordLength = 68;

/// Bytes one bitmap with `dataBytes` bytes of data takes in an archive: its header, and in
/// a ROM image its record, with the data padded to whole words.
constexpr uint64_t bitmapBytes(bool romImage, uint64_t dataBytes) {
    return romImage ? kRomRecordLength + (dataBytes + 3) / 4 * 4 : kHeaderLength + dataBytes;
}

} // namespace bmconv
