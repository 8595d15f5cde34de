#include "palette.h"

namespace bmconv {

const std::array<Rgb, 16>& palette16() {
    static const std::array<Rgb, 16> table = {{{0, 0, 0},
                                               {85, 85, 85},
                                               {128, 0, 0},
                                               {128, 128, 0},
                                               {0, 128, 0},
                                               {255, 0, 0},
                                               {255, 255, 0},
                                               {0, 255, 0},
                                               {255, 0, 255},
                                               {0, 0, 255},
                                               {0, 255, 255},
                                               {128, 0, 128},
                                               {0, 0, 128},
                                               {0, 128, 128},
                                               {170, 170, 170},
                                               {255, 255, 255}}};
    return table;
}

static std::array<Rgb, 256> makePalette256() {
    std::array<Rgb, 256> t{};
    auto cube = [](int j) {
        return Rgb{uint8_t(51 * (j % 6)), uint8_t(51 * ((j / 6) % 6)), uint8_t(51 * (j / 36))};
    };
    for (int i = 0; i < 108; ++i)
        t[i] = cube(i);
    for (int i = 148; i < 256; ++i)
        t[i] = cube(i - 40);
    // Eight groups of five between the two halves of the cube: greys, reds, greens, blues
    // on the low levels, then blues, greens, reds, greys on the high ones.
    const uint8_t low[5] = {0x11, 0x22, 0x44, 0x55, 0x77};
    const uint8_t high[5] = {0x88, 0xAA, 0xBB, 0xDD, 0xEE};
    for (int k = 0; k < 5; ++k) {
        uint8_t v = low[k];
        t[108 + k] = {v, v, v};
        t[113 + k] = {v, 0, 0};
        t[118 + k] = {0, v, 0};
        t[123 + k] = {0, 0, v};
        uint8_t h = high[k];
        t[128 + k] = {0, 0, h};
        t[133 + k] = {0, h, 0};
        t[138 + k] = {h, 0, 0};
        t[143 + k] = {h, h, h};
    }
    return t;
}

const std::array<Rgb, 256>& palette256() {
    static const std::array<Rgb, 256> table = makePalette256();
    return table;
}

static int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

static uint8_t hexByte(const char* p) {
    return uint8_t(hexValue(p[0]) * 16 + hexValue(p[1]));
}

bool parsePaletteText(const std::string& text, std::array<Rgb, 256>& palette) {
    size_t found = 0;
    size_t pos = 0;
    while (found < palette.size() && pos + 10 <= text.size()) {
        if (text[pos] != '0' || (text[pos + 1] != 'x' && text[pos + 1] != 'X')) {
            ++pos;
            continue;
        }
        const char* e = text.data() + pos; // 0x00BBGGRR
        palette[found++] = Rgb{hexByte(e + 8), hexByte(e + 6), hexByte(e + 4)};
        pos += 10;
    }
    return found == palette.size();
}

} // namespace bmconv
