#include "mbm_parse.h"

#include "mbm_layout.h"
#include "messages.h"

namespace bmconv {

namespace {

std::string num(uint64_t v) {
    return std::to_string(v);
}
std::string snum(int64_t v) {
    return std::to_string(v);
}

std::string hex(uint32_t v) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s = "0x";
    for (int shift = 28; shift >= 0; shift -= 4)
        s += digits[(v >> shift) & 0xF];
    return s;
}

std::string bitmapLabel(size_t ordinal) {
    return "bitmap " + num(ordinal) + ": ";
}

// CRC-16/CCITT (polynomial 0x1021, initial 0), as the store's UID checksum uses it.
uint16_t crc16(const uint8_t* bytes, size_t count, size_t step) {
    uint16_t crc = 0;
    for (size_t i = 0; i < count; ++i) {
        crc ^= uint16_t(bytes[i * step] << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? uint16_t((crc << 1) ^ 0x1021) : uint16_t(crc << 1);
    }
    return crc;
}

bool depthFitsColour(int32_t bpp, uint32_t colour) {
    if (colour == 0) return bpp == 1 || bpp == 2 || bpp == 4 || bpp == 8;
    if (bpp == 32) return true;
    return bpp == 4 || bpp == 8 || bpp == 12 || bpp == 16 || bpp == 24;
}

bool validDepth(int32_t bpp) {
    switch (bpp) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 12:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

const char* schemeName(uint32_t scheme) {
    static const char* names[] = {"no compression", "byte RLE",   "12-bit RLE",      "16-bit RLE",
                                  "24-bit RLE",     "32-bit RLE", "32-bit alpha RLE"};
    return scheme < 7 ? names[scheme] : "unknown compression";
}

// The display modes a ROM record may carry for a depth and colour mode.
bool romModeFits(uint32_t mode, int32_t bpp, uint32_t colour) {
    switch (bpp) {
    case 1:
        return mode == 1;
    case 2:
        return mode == 2;
    case 4:
        return mode == (colour == 0 ? 3u : 5u);
    case 8:
        return mode == (colour == 0 ? 4u : 6u);
    case 12:
        return mode == 10;
    case 16:
        return mode == 7;
    case 24:
        return mode == 8;
    case 32:
        return colour == 1 ? mode == 11 : (mode == 12 || mode == 13);
    default:
        return false;
    }
}

ReadStatus bad(std::string problem) {
    return ReadStatus::fail(kBadSourceFile, std::move(problem));
}

} // namespace

ReadStatus checkDataLength(const BitmapInfo& info, size_t ordinal) {
    const uint64_t n = info.bufferSize();
    const uint64_t data = info.dataLength;
    const std::string what = bitmapLabel(ordinal) + num(data) + " bytes of data for " +
                             snum(info.width) + " x " + snum(info.height) + " pixels at " +
                             snum(info.bpp) + " bpp";
    if (info.compression == kNoCompression) {
        if (data != n) return bad(what + " uncompressed; expected " + num(n));
        return {};
    }
    uint64_t low = 0, high = 0;
    if (info.compression == kTwelveBitRle) {
        low = n / 16;
        high = n;
    } else {
        const uint64_t valueBytes = info.compression == kByteRle            ? 1
                                    : info.compression == kSixteenBitRle    ? 2
                                    : info.compression == kTwentyFourBitRle ? 3
                                                                            : 4;
        const uint64_t streamBytes = info.compression == kThirtyTwoBitRle ? 3 : valueBytes;
        const uint64_t values = info.stride / valueBytes * uint64_t(info.height);
        low = (values + 128) / 129 * (streamBytes + 1);
        const uint64_t recordBytes = streamBytes + 1;
        high = values > UINT64_MAX / recordBytes ? UINT64_MAX : values * recordBytes;
    }
    if (data < low || data > high) {
        return bad(what + " with " + schemeName(info.compression) + "; expected " + num(low) +
                   " to " + num(high));
    }
    return {};
}

uint32_t schemeFor(int32_t bpp, uint32_t colour) {
    switch (bpp) {
    case 12:
        return kTwelveBitRle;
    case 16:
        return kSixteenBitRle;
    case 24:
        return kTwentyFourBitRle;
    case 32:
        return colour == 1 ? kThirtyTwoBitRle : kThirtyTwoBitAlphaRle;
    default:
        return kByteRle;
    }
}

ReadStatus checkBitmapHeader(const uint8_t* h, size_t ordinal, BitmapInfo& info) {
    const std::string label = bitmapLabel(ordinal);
    info.size = loadLe32(h);
    const int32_t headerLength = int32_t(loadLe32(h + 4));
    info.width = int32_t(loadLe32(h + 8));
    info.height = int32_t(loadLe32(h + 12));
    info.twipsWidth = int32_t(loadLe32(h + 16));
    info.twipsHeight = int32_t(loadLe32(h + 20));
    info.bpp = int32_t(loadLe32(h + 24));
    info.colour = loadLe32(h + 28);
    const uint32_t paletteEntries = loadLe32(h + 32);
    info.compression = loadLe32(h + 36);

    if (headerLength != int32_t(kHeaderLength))
        return bad(label + "header length is " + snum(headerLength) + ", expected 40");
    if (info.width <= 0) return bad(label + "width " + snum(info.width) + " is not positive");
    if (info.height <= 0) return bad(label + "height " + snum(info.height) + " is not positive");
    if (!validDepth(info.bpp)) {
        return bad(label + snum(info.bpp) +
                   " bits per pixel is no valid depth (1, 2, 4, 8, 12, 16, 24 or 32)");
    }
    if (info.colour > 3)
        return bad(label + "colour mode " + num(info.colour) + " is unknown (0 to 3)");
    if (!depthFitsColour(info.bpp, info.colour)) {
        return bad(label + snum(info.bpp) + " bpp is not valid with colour mode " +
                   num(info.colour));
    }
    if (paletteEntries != 0)
        return bad(label + "palette entries is " + num(paletteEntries) + ", expected 0");
    if (info.compression > kThirtyTwoBitAlphaRle) {
        return ReadStatus::fail(kUnknownCompression, label + "compression " +
                                                         num(info.compression) +
                                                         " is unknown (0 to 6)");
    }
    const uint32_t scheme = schemeFor(info.bpp, info.colour);
    if (info.compression != kNoCompression && info.compression != scheme) {
        return bad(label + "compression " + num(info.compression) + " is not valid for " +
                   snum(info.bpp) + " bpp (0 or " + num(scheme) + ")");
    }
    if (info.size < kHeaderLength)
        return bad(label + "bitmap size " + num(info.size) + " is smaller than its header");
    info.dataLength = info.size - kHeaderLength;
    info.stride = strideFor(info.bpp, uint64_t(info.width));
    return {};
}

ReadStatus ArchiveReader::open() {
    const uint64_t size = source_.size();
    uint8_t uid[4];
    if (size < 8 || !source_.read(0, uid, 4))
        return bad("the file is too short for an archive (" + num(size) + " bytes)");
    const uint32_t first = loadLe32(uid);
    if (first == kFileStoreUid1) return openFileStore();
    if (first == kRomImageUid) return openRomImage();
    return bad("not a multi-bitmap archive (it starts with " + hex(first) + ")");
}

ReadStatus ArchiveReader::openFileStore() {
    kind_ = ArchiveKind::FileStore;
    uint8_t head[kFileStoreHeaderLength];
    if (!source_.read(0, head, sizeof head))
        return bad("the file is too short for a file store (" + num(source_.size()) + " bytes)");
    if (loadLe32(head + 4) != kFileStoreUid2)
        return bad("second UID is " + hex(loadLe32(head + 4)) + ", expected 0x10000042");
    const uint32_t checksum = uint32_t(crc16(head + 1, 6, 2)) << 16 | crc16(head, 6, 2);
    if (loadLe32(head + 12) != checksum) {
        return bad("UID checksum is " + hex(loadLe32(head + 12)) + ", expected " + hex(checksum));
    }
    const uint32_t trailer = loadLe32(head + 16);
    uint8_t countBytes[4];
    if (trailer < kFileStoreHeaderLength || !source_.read(trailer, countBytes, 4)) {
        return bad("the table of bitmaps at offset " + num(trailer) + " lies outside the file (" +
                   num(source_.size()) + " bytes)");
    }
    return readOffsets(uint64_t(trailer) + 4, loadLe32(countBytes));
}

ReadStatus ArchiveReader::openRomImage() {
    kind_ = ArchiveKind::RomImage;
    uint8_t countBytes[4];
    if (!source_.read(4, countBytes, 4)) return bad("the file is too short for a ROM image");
    return readOffsets(8, loadLe32(countBytes));
}

ReadStatus ArchiveReader::readOffsets(uint64_t at, uint32_t count) {
    const uint64_t size = source_.size();
    if (at > size || (size - at) / 4 < count) {
        return bad("the table of " + num(count) + " bitmaps does not fit the file (" + num(size) +
                   " bytes)");
    }
    // Read in place: four bytes a bitmap, whatever the count.
    offsets_.assign(count, 0);
    uint8_t* bytes = reinterpret_cast<uint8_t*>(offsets_.data());
    if (!source_.read(at, bytes, size_t(count) * 4)) return bad("cannot read the table of bitmaps");
    for (uint32_t i = 0; i < count; ++i)
        offsets_[i] = loadLe32(bytes + 4 * size_t(i));
    return {};
}

ReadStatus ArchiveReader::bitmap(size_t index, BitmapInfo& info) {
    const uint32_t offset = offsets_[index];
    const size_t ordinal = index + 1;
    if (kind_ == ArchiveKind::RomImage) return readRomRecord(index, offset, info);
    uint8_t header[kHeaderLength];
    if (offset < kFileStoreHeaderLength || !source_.read(offset, header, sizeof header)) {
        return bad(bitmapLabel(ordinal) + "header at offset " + num(offset) +
                   " lies outside the file (" + num(source_.size()) + " bytes)");
    }
    ReadStatus status = checkBitmapHeader(header, ordinal, info);
    if (!status.ok()) return status;
    info.dataOffset = uint64_t(offset) + kHeaderLength;
    return checkDataPlacement(info, ordinal);
}

ReadStatus ArchiveReader::checkDataPlacement(const BitmapInfo& info, size_t ordinal) {
    if (info.dataOffset + info.dataLength > source_.size()) {
        return bad(bitmapLabel(ordinal) + "bitmap size " + num(info.size) +
                   " runs past the end of the file (" + num(source_.size()) + " bytes)");
    }
    return checkDataLength(info, ordinal);
}

ReadStatus ArchiveReader::readRomRecord(size_t index, uint32_t offset, BitmapInfo& info) {
    const size_t ordinal = index + 1;
    const std::string label = bitmapLabel(ordinal);
    uint8_t record[kRomRecordLength];
    if (offset < 8 || !source_.read(offset, record, sizeof record)) {
        return bad(label + "record at offset " + num(offset) + " lies outside the file (" +
                   num(source_.size()) + " bytes)");
    }
    if (loadLe32(record) != kRomRecordUid)
        return bad(label + "record starts with " + hex(loadLe32(record)) + ", expected 0x10000040");
    ReadStatus status = checkBitmapHeader(record + 20, ordinal, info);
    if (!status.ok()) return status;
    const uint32_t mode = loadLe32(record + 4);
    if (!romModeFits(mode, info.bpp, info.colour)) {
        return bad(label + "display mode " + num(mode) + " does not match " + snum(info.bpp) +
                   " bpp with colour mode " + num(info.colour));
    }
    if (loadLe32(record + 16) != info.stride) {
        return bad(label + "row length " + num(loadLe32(record + 16)) + " does not match " +
                   snum(info.width) + " pixels at " + snum(info.bpp) + " bpp (" + num(info.stride) +
                   ")");
    }
    if (loadLe32(record + 64) != kRomRecordLength)
        return bad(label + "data offset is " + num(loadLe32(record + 64)) + ", expected 68");
    info.dataOffset = uint64_t(offset) + kRomRecordLength;
    return checkDataPlacement(info, ordinal);
}

uint64_t ArchiveReader::fileSize() const {
    return source_.size();
}

} // namespace bmconv
