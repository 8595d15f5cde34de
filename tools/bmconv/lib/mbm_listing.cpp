#include "mbm_listing.h"

namespace bmconv {

namespace {

const char* colourText(uint32_t colour) {
    switch (colour) {
    case 0:
        return "Monochrome";
    case 1:
        return "Colour";
    case 2:
    case 3:
        return "Colour with alpha channel";
    default:
        return "Unknown colour format";
    }
}

const char* compressionKind(uint32_t compression) {
    switch (compression) {
    case 1:
        return "Bytewise RLE compression";
    case 2:
        return "12 bit RLE compression";
    case 3:
        return "16 bit RLE compression";
    case 4:
        return "24 bit RLE compression";
    case 5:
        return "unsigned 32 bit RLE compression (no alpha channel)";
    case 6:
        return "unsigned 32 bit RLE compression (with alpha channel)";
    default:
        return nullptr;
    }
}

} // namespace

void printListingHead(std::ostream& out, const std::string& name, ArchiveKind kind, size_t count) {
    out << name << " is a " << (kind == ArchiveKind::RomImage ? "ROM image" : "File store")
        << " containing " << count << (count == 1 ? " bitmap" : " bitmaps") << "\n";
}

uint64_t compressionPercent(const BitmapInfo& info) {
    const uint64_t buffer = info.bufferSize();
    if (buffer == 0) return 0;
    // The data length is below 2^32, so the product stays far inside 64 bits.
    return uint64_t(info.dataLength) * 100 / buffer;
}

void printBitmapEntry(std::ostream& out, size_t ordinal, const BitmapInfo& info) {
    out << "\nBitmap " << ordinal << " information:\n"
        << "Pixel size " << info.width << " x " << info.height << "\n"
        << "Twips size " << info.twipsWidth << " x " << info.twipsHeight << "\n"
        << info.bpp << " Bpp " << colourText(info.colour) << "\n";
    const char* kind = compressionKind(info.compression);
    if (kind) {
        out << kind << " " << compressionPercent(info) << "%\n";
    } else {
        out << "No compression\n";
    }
}

} // namespace bmconv
