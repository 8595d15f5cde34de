#include "bmp_read.h"

#include "bmp_layout.h"
#include "bmp_source.h"
#include "byte_order.h"

#include <cstring>

namespace bmconv {
namespace {

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

} // namespace

void convertRow(const uint8_t* src, const BmpLayout& l, uint8_t* rgb, uint8_t* indices) {
    const uint32_t w = uint32_t(l.width);
    if (l.bpp <= 8) {
        const int perByte = 8 / l.bpp;
        const unsigned mask = (1u << l.bpp) - 1;
        for (uint32_t x = 0; x < w; ++x) {
            const int shift = 8 - l.bpp * (int(x % perByte) + 1);
            indices[x] = uint8_t((src[x / perByte] >> shift) & mask);
        }
        if (rgb) indicesToRgb(l.palette, indices, w, rgb);
        return;
    }
    const int step = l.bpp / 8;
    if (l.bgrRows()) {
        for (uint32_t x = 0; x < w; ++x, src += step, rgb += 3) {
            rgb[0] = src[2];
            rgb[1] = src[1];
            rgb[2] = src[0];
        }
        return;
    }
    const bool bitFields = l.compression == kBmpBitFields || l.compression == kBmpAlphaBitFields;
    uint32_t masks[3] = {l.masks[0], l.masks[1], l.masks[2]};
    if (l.bpp == 16 && !bitFields) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    for (uint32_t x = 0; x < w; ++x, src += step, rgb += 3) {
        const uint32_t px = step == 2 ? loadLe16(src) : loadLe32(src);
        rgb[0] = red(px);
        rgb[1] = green(px);
        rgb[2] = blue(px);
    }
}

void indicesToRgb(const std::vector<uint8_t>& palette, const uint8_t* indices, size_t count,
                  uint8_t* rgb) {
    const size_t entries = palette.size() / 3;
    for (size_t i = 0; i < count; ++i, rgb += 3) {
        const uint8_t index = indices[i];
        if (index < entries) {
            std::memcpy(rgb, &palette[3 * size_t(index)], 3);
        } else {
            rgb[0] = rgb[1] = rgb[2] = 0; // an index past a short palette reads as black
        }
    }
}

void decodeRle(const uint8_t* d, size_t size, const BmpLayout& l, uint8_t* indices) {
    const bool rle8 = l.compression == kBmpRle8;
    const uint64_t w = uint64_t(l.width), h = uint64_t(l.height);
    uint64_t x = 0, y = 0; // y counts rows from the bottom
    auto put = [&](uint8_t index) {
        if (x < w && y < h) indices[size_t((h - 1 - y) * w + x)] = index;
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

BmpDecodeResult decodeBmp(const uint8_t* d, size_t size) {
    BmpLayout l;
    BmpDecodeResult result = parseBmpHeaders(d, size, l);
    if (!result.ok) return result;
    BmpImage& img = result.image;
    const size_t w = size_t(l.width), pixels = w * size_t(l.height);
    img.rgb.assign(pixels * 3, 0);
    if (l.bpp <= 8) img.indices.assign(pixels, 0);
    if (l.rle()) {
        decodeRle(d, size, l, img.indices.data());
        indicesToRgb(l.palette, img.indices.data(), pixels, img.rgb.data());
        return result;
    }
    for (uint32_t y = 0; y < uint32_t(l.height); ++y) {
        convertRow(d + l.rowOffset(y), l, img.rgb.data() + y * w * 3,
                   l.bpp <= 8 ? img.indices.data() + y * w : nullptr);
    }
    return result;
}

BmpDecodeResult loadBmpFile(const std::string& path) {
    BmpSource source;
    BmpDecodeResult result = source.open(path);
    if (!result.ok) return result;
    BmpImage& img = result.image;
    const size_t w = size_t(img.width), pixels = w * size_t(img.height);
    img.rgb.assign(pixels * 3, 0);
    if (img.bitsPerPixel <= 8) img.indices.assign(pixels, 0);
    if (!source.convertRows(0, uint32_t(img.height), img.rgb.data(),
                            img.bitsPerPixel <= 8 ? img.indices.data() : nullptr))
        return source.readFailure();
    return result;
}

} // namespace bmconv
