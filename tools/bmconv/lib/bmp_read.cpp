#include "bmp_read.h"

#include "byte_order.h"
#include "messages.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace bmconv {
namespace {

int32_t les32(const uint8_t* p) {
    return int32_t(loadLe32(p));
}

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

/// Everything the pixel decoders need from the headers.
struct Layout {
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool topDown = false;
    int bpp = 0;
    uint32_t compression = kRgb;
    uint32_t masks[3] = {0, 0, 0};
    std::vector<uint8_t> palette; // 3 bytes per entry: R, G, B
    uint64_t pixelOffset = 0;
};

BmpDecodeResult fail(int code, std::string message) {
    BmpDecodeResult r;
    r.errorCode = code;
    r.message = std::move(message);
    return r;
}

/// Reads the info header fields; returns an empty string or what is wrong.
std::string readInfoHeader(const uint8_t* d, size_t size, Layout& l, BmpImage& img) {
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
    img.xPelsPerMeter = les32(d + 38);
    img.yPelsPerMeter = les32(d + 42);
    if (h == INT32_MIN) return "invalid BMP height";
    l.topDown = h < 0;
    l.height = h < 0 ? -h : h;
    if (l.compression == kBitFields || l.compression == kAlphaBitFields) {
        // Version 4 and 5 headers carry the masks; a 40-byte header is followed by them.
        const uint64_t at = 14 + 40;
        if (at + 12 > size) return "the BMP colour masks are cut short";
        for (int i = 0; i < 3; ++i)
            l.masks[i] = loadLe32(d + at + 4 * i);
    }
    return "";
}

std::string checkLayout(const Layout& l) {
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
    if ((l.compression == kRle8 && l.bpp != 8) || (l.compression == kRle4 && l.bpp != 4))
        return "RLE compression does not match the depth of " + std::to_string(l.bpp) + " bits";
    if ((l.compression == kBitFields || l.compression == kAlphaBitFields) && l.bpp != 16 &&
        l.bpp != 32)
        return "bit-field pixels need 16 or 32 bits per pixel";
    if ((l.compression == kRle8 || l.compression == kRle4) && l.topDown)
        return "a compressed BMP cannot be stored top-down";
    return "";
}

std::string readPalette(const uint8_t* d, size_t size, const Layout& l, uint32_t clrUsed,
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

/// Scales a bit-field component of any width to 8 bits by repeating its bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    explicit Channel(uint32_t m) : mask(m) {
        if (m == 0) return;
        while (!((m >> shift) & 1))
            ++shift;
        uint32_t v = m >> shift;
        while (v) {
            ++bits;
            v >>= 1;
        }
    }
    uint8_t operator()(uint32_t px) const {
        if (bits == 0) return 0;
        uint32_t v = (px & mask) >> shift;
        if (bits >= 8) return uint8_t(v >> (bits - 8));
        uint32_t r = 0;
        int filled = 0;
        while (filled < 8) {
            r = (r << bits) | v;
            filled += bits;
        }
        return uint8_t(r >> (filled - 8));
    }
};

void decodeRows(const uint8_t* d, const Layout& l, BmpImage& img) {
    const uint64_t rowBytes = (uint64_t(l.width) * l.bpp + 31) / 32 * 4;
    const uint32_t w = uint32_t(l.width);
    const bool bitFields = l.compression == kBitFields || l.compression == kAlphaBitFields;
    uint32_t masks[3] = {l.masks[0], l.masks[1], l.masks[2]};
    if (l.bpp == 16 && !bitFields) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    for (int32_t y = 0; y < l.height; ++y) {
        const uint8_t* src = d + l.pixelOffset + rowBytes * uint64_t(y);
        const size_t outRow = size_t(l.topDown ? y : l.height - 1 - y) * w;
        uint8_t* rgb = img.rgb.data() + outRow * 3;
        if (l.bpp <= 8) {
            uint8_t* idx = img.indices.data() + outRow;
            const int perByte = 8 / l.bpp;
            const unsigned mask = (1u << l.bpp) - 1;
            for (uint32_t x = 0; x < w; ++x) {
                const int shift = 8 - l.bpp * (int(x % perByte) + 1);
                idx[x] = uint8_t((src[x / perByte] >> shift) & mask);
            }
        } else if (l.bpp == 24 || (l.bpp == 32 && !bitFields)) {
            const int step = l.bpp / 8;
            for (uint32_t x = 0; x < w; ++x, src += step, rgb += 3) {
                rgb[0] = src[2];
                rgb[1] = src[1];
                rgb[2] = src[0];
            }
        } else {
            const int step = l.bpp / 8;
            for (uint32_t x = 0; x < w; ++x, src += step, rgb += 3) {
                const uint32_t px = step == 2 ? loadLe16(src) : loadLe32(src);
                rgb[0] = red(px);
                rgb[1] = green(px);
                rgb[2] = blue(px);
            }
        }
    }
}

/// Decodes RLE8 or RLE4 data into palette indices; pixels the stream skips stay index 0.
void decodeRle(const uint8_t* d, size_t size, const Layout& l, BmpImage& img) {
    const bool rle8 = l.compression == kRle8;
    const uint64_t w = uint64_t(l.width), h = uint64_t(l.height);
    uint64_t x = 0, y = 0; // y counts rows from the bottom
    auto put = [&](uint8_t index) {
        if (x < w && y < h) img.indices[size_t((h - 1 - y) * w + x)] = index;
        ++x;
    };
    size_t pos = size_t(l.pixelOffset);
    while (pos + 1 < size && y < h) {
        const uint8_t n = d[pos], c = d[pos + 1];
        pos += 2;
        if (n > 0) {
            for (unsigned i = 0; i < n && x < w; ++i)
                put(rle8 ? c : uint8_t(i % 2 == 0 ? c >> 4 : c & 15));
            continue;
        }
        if (c == 0) {
            x = 0;
            ++y;
        } else if (c == 1) {
            break;
        } else if (c == 2) {
            if (pos + 1 >= size) break;
            x += d[pos];
            y += d[pos + 1];
            pos += 2;
        } else {
            const size_t bytes = rle8 ? c : (c + 1u) / 2;
            if (pos + bytes > size) break;
            for (unsigned i = 0; i < c; ++i)
                put(rle8 ? d[pos + i]
                         : uint8_t(i % 2 == 0 ? d[pos + i / 2] >> 4 : d[pos + i / 2] & 15));
            pos += (bytes + 1) & ~size_t(1);
        }
    }
}

void indicesToRgb(const std::vector<uint8_t>& palette, BmpImage& img) {
    const size_t entries = palette.size() / 3;
    uint8_t* rgb = img.rgb.data();
    for (uint8_t index : img.indices) {
        if (index < entries) {
            rgb[0] = palette[3 * index];
            rgb[1] = palette[3 * index + 1];
            rgb[2] = palette[3 * index + 2];
        } else {
            rgb[0] = rgb[1] = rgb[2] = 0; // an index past a short palette reads as black
        }
        rgb += 3;
    }
}

} // namespace

BmpDecodeResult decodeBmp(const uint8_t* d, size_t size) {
    if (size < 18 || d[0] != 'B' || d[1] != 'M')
        return fail(kBadSourceFile, "not a BMP file (it does not start with \"BM\")");
    Layout l;
    BmpDecodeResult result;
    BmpImage& img = result.image;
    std::string error = readInfoHeader(d, size, l, img);
    if (error.empty()) error = checkLayout(l);
    if (error.empty() && l.compression != kRgb && l.compression != kRle8 &&
        l.compression != kRle4 && l.compression != kBitFields && l.compression != kAlphaBitFields)
        return fail(kUnknownCompression,
                    "BMP compression type " + std::to_string(l.compression) +
                        " cannot be read (only uncompressed, RLE4, RLE8 and bit fields)");
    const uint32_t clrUsed = error.empty() && l.headerSize >= 40 ? loadLe32(d + 46) : 0;
    std::vector<uint8_t> palette;
    if (error.empty()) error = readPalette(d, size, l, clrUsed, palette);
    if (!error.empty()) return fail(kBadSourceFile, error);

    const uint32_t offBits = loadLe32(d + 10);
    uint64_t paletteEnd =
        14 + uint64_t(l.headerSize) + palette.size() / 3 * (l.headerSize == 12 ? 3 : 4);
    if (l.headerSize == 40 && l.compression == kBitFields) paletteEnd += 12;
    if (l.headerSize == 40 && l.compression == kAlphaBitFields) paletteEnd += 16;
    l.pixelOffset = offBits == 0 ? paletteEnd : offBits;
    if (l.pixelOffset < 14 + uint64_t(l.headerSize) || l.pixelOffset > size)
        return fail(kBadSourceFile, "the BMP pixel data offset lies outside the file");
    const uint64_t available = size - l.pixelOffset;
    const bool rle = l.compression == kRle8 || l.compression == kRle4;
    if (!rle && l.height > 0 && l.width > 0) {
        // The last row may lack its padding; every byte a pixel needs must be there.
        const uint64_t rowBytes = (uint64_t(l.width) * l.bpp + 31) / 32 * 4;
        const uint64_t lastRow = (uint64_t(l.width) * l.bpp + 7) / 8;
        if (rowBytes * uint64_t(l.height - 1) + lastRow > available)
            return fail(kBadSourceFile, "the BMP pixel data is cut short");
    }

    img.width = l.width;
    img.height = l.height;
    img.bitsPerPixel = l.bpp;
    const size_t pixels = size_t(l.width) * size_t(l.height);
    img.rgb.assign(pixels * 3, 0);
    if (l.bpp <= 8) img.indices.assign(pixels, 0);
    if (rle)
        decodeRle(d, size, l, img);
    else
        decodeRows(d, l, img);
    if (l.bpp <= 8) indicesToRgb(palette, img);
    result.ok = true;
    return result;
}

BmpDecodeResult loadBmpFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return fail(kFileDoesNotExist, "cannot open " + path);
    // The decoder never needs more than the largest picture it accepts plus its headers.
    const long limit = long(kMaxBmpPixels * 4 + (1u << 20));
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    if (size < 0 || std::fseek(f, 0, SEEK_SET) != 0) {
        std::fclose(f);
        return fail(kBadSourceFile, "cannot read " + path);
    }
    if (size > limit) {
        std::fclose(f);
        return fail(kBadSourceFile, path + " is too large for a BMP picture");
    }
    std::vector<uint8_t> bytes(size_t(size) + 1);
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    const bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (readError) return fail(kBadSourceFile, "cannot read " + path);
    return decodeBmp(bytes.data(), std::min(got, size_t(size)));
}

} // namespace bmconv
