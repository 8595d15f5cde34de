// Fuzz target: the archive reader on arbitrary bytes, as /v and /u use it. Every input must
// end in a listing or a refusal: no crash, no read outside the input, no unbounded
// allocation or loop.
#include "mbm_decode.h"
#include "mbm_listing.h"
#include "mbm_parse.h"
#include "mbm_pixels.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <vector>

namespace {

// Expands every row to colour, as splitting does, without writing files.
void expandAll(bmconv::ArchiveReader& reader, size_t index) {
    bmconv::BitmapInfo info;
    if (!reader.bitmap(index, info).ok()) __builtin_trap(); // checkArchive passed it
    const bmconv::RowExpander expander(info.bpp, info.colour);
    std::vector<uint8_t> bgr(size_t(info.width) * 3), alpha(size_t(info.width));
    const bmconv::ReadStatus status =
        bmconv::decodeBitmap(reader, info, index + 1, [&](const uint8_t* row) {
            expander.expand(row, size_t(info.width), bgr.data(), alpha.data());
            return true;
        });
    if (!status.ok()) __builtin_trap(); // the same data decoded during the check
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bmconv::MemorySource source(data, size);
    bmconv::ArchiveReader reader(source);
    if (!reader.open().ok()) return 0;
    if (!bmconv::checkArchive(reader, reader.count()).ok()) return 0;
    std::ostringstream listing;
    bmconv::printListingHead(listing, "fuzz.mbm", reader.kind(), reader.count());
    for (size_t i = 0; i < reader.count(); ++i) {
        bmconv::BitmapInfo info;
        if (!reader.bitmap(i, info).ok()) __builtin_trap();
        bmconv::printBitmapEntry(listing, i + 1, info);
        // Bitmaps shared by several table entries are expanded once.
        if (i < 64 && (i == 0 || reader.offsetOf(i) != reader.offsetOf(i - 1)))
            expandAll(reader, i);
    }
    return 0;
}
