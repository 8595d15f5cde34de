#include "bmp_layout.h"

#include "byte_order.h"
#include "messages.h"

#include <string>

namespace bmconv {
namespace {

int32_t les32(const uint8_t* p) {
    return int32_t(loadLe32(p));
}

BmpDecodeResult fail(int code, std::string message) {
    BmpDecodeResult r;
    r.errorCode = code;
    r.message = std::move(message);
    return r;
}

/// Reads the info header fields; returns an empty string or what is wrong.
std::string readInfoHeader(const uint8_t* d, uint64_t size, BmpLayout& l) {
    l.headerSize = loadLe32(d + 14);
    const uint32_t hs = l.headerSize;
    if (hs != 12 && hs != 40 && hs != 52 && hs != 56 && hs != 108 && hs != 124)
        return "unknown BMP info header size " + std::to_string(hs);
    if (14 + uint64_t(hs) > size) return "the BMP header is cut short";
    if (hs == 12) {
        l.width = loadLe16(d + 18);
        l.height = loadLe16(d + 20);
        l.bpp = loadLe16(d + 24);
        return "";
    }
    l.width = les32(d + 18);
    int32_t h = les32(d + 22);
    l.bpp = loadLe16(d + 28);
    l.compression = loadLe32(d + 30);
    l.xPelsPerMeter = les32(d + 38);
    l.yPelsPerMeter = les32(d + 42);
    if (h == INT32_MIN) return "invalid BMP height";
    l.topDown = h < 0;
    l.height = h < 0 ? -h : h;
    if (l.compression == kBmpBitFields || l.compression == kBmpAlphaBitFields) {
        // Version 4 and 5 headers carry the masks; a 40-byte header is followed by them.
        const uint64_t at = 14 + 40;
        if (at + 12 > size) return "the BMP colour masks are cut short";
        for (int i = 0; i < 3; ++i)
            l.masks[i] = loadLe32(d + at + 4 * i);
    }
    return "";
}

std::string checkLayout(const BmpLayout& l) {
    if (l.width < 0) return "negative BMP width";
    if (l.width > kMaxBmpDimension || l.height > kMaxBmpDimension ||
        uint64_t(l.width) * uint64_t(l.height) > kMaxBmpPixels)
        return "the picture is too large (" + std::to_string(l.width) + " x " +
               std::to_string(l.height) + ")";
    switch (l.bpp) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return "unsupported BMP depth of " + std::to_string(l.bpp) + " bits per pixel";
    }
    if ((l.compression == kBmpRle8 && l.bpp != 8) || (l.compression == kBmpRle4 && l.bpp != 4))
        return "RLE compression does not match the depth of " + std::to_string(l.bpp) + " bits";
    if ((l.compression == kBmpBitFields || l.compression == kBmpAlphaBitFields) && l.bpp != 16 &&
        l.bpp != 32)
        return "bit-field pixels need 16 or 32 bits per pixel";
    if ((l.compression == kBmpRle8 || l.compression == kBmpRle4) && l.topDown)
        return "a compressed BMP cannot be stored top-down";
    return "";
}

std::string readPalette(const uint8_t* d, uint64_t size, const BmpLayout& l, uint32_t clrUsed,
                        std::vector<uint8_t>& palette) {
    if (l.bpp > 8) return "";
    const uint32_t full = 1u << l.bpp;
    const uint32_t count = (clrUsed == 0 || clrUsed > full) ? full : clrUsed;
    const uint32_t entrySize = l.headerSize == 12 ? 3 : 4;
    const uint64_t at = 14 + uint64_t(l.headerSize);
    if (at + uint64_t(count) * entrySize > size) return "the BMP palette is cut short";
    palette.resize(size_t(count) * 3);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = d + at + i * entrySize;
        palette[3 * i] = e[2];
        palette[3 * i + 1] = e[1];
        palette[3 * i + 2] = e[0];
    }
    return "";
}

} // namespace

BmpDecodeResult parseBmpHeaders(const uint8_t* d, uint64_t size, BmpLayout& l) {
    if (size < 18 || d[0] != 'B' || d[1] != 'M')
        return fail(kBadSourceFile, "not a BMP file (it does not start with \"BM\")");
    l = BmpLayout();
    std::string error = readInfoHeader(d, size, l);
    if (error.empty()) error = checkLayout(l);
    if (error.empty() && l.compression != kBmpRgb && l.compression != kBmpRle8 &&
        l.compression != kBmpRle4 && l.compression != kBmpBitFields &&
        l.compression != kBmpAlphaBitFields)
        return fail(kUnknownCompression,
                    "BMP compression type " + std::to_string(l.compression) +
                        " cannot be read (only uncompressed, RLE4, RLE8 and bit fields)");
    const uint32_t clrUsed = error.empty() && l.headerSize >= 40 ? loadLe32(d + 46) : 0;
    if (error.empty()) error = readPalette(d, size, l, clrUsed, l.palette);
    if (!error.empty()) return fail(kBadSourceFile, error);

    const uint32_t offBits = loadLe32(d + 10);
    uint64_t paletteEnd =
        14 + uint64_t(l.headerSize) + l.palette.size() / 3 * (l.headerSize == 12 ? 3 : 4);
    if (l.headerSize == 40 && l.compression == kBmpBitFields) paletteEnd += 12;
    if (l.headerSize == 40 && l.compression == kBmpAlphaBitFields) paletteEnd += 16;
    l.pixelOffset = offBits == 0 ? paletteEnd : offBits;
    if (l.pixelOffset < 14 + uint64_t(l.headerSize) || l.pixelOffset > size)
        return fail(kBadSourceFile, "the BMP pixel data offset lies outside the file");
    const uint64_t available = size - l.pixelOffset;
    if (!l.rle() && l.height > 0 && l.width > 0) {
        // The last row may lack its padding; every byte a pixel needs must be there.
        const uint64_t lastRow = (uint64_t(l.width) * l.bpp + 7) / 8;
        if (l.rowBytes() * uint64_t(l.height - 1) + lastRow > available)
            return fail(kBadSourceFile, "the BMP pixel data is cut short");
    }
    BmpDecodeResult result;
    result.ok = true;
    result.image.width = l.width;
    result.image.height = l.height;
    result.image.bitsPerPixel = l.bpp;
    result.image.xPelsPerMeter = l.xPelsPerMeter;
    result.image.yPelsPerMeter = l.yPelsPerMeter;
    return result;
}

} // namespace bmconv
