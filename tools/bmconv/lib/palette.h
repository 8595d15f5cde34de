// The two fixed Symbian palettes (16 and 256 colours). They are never stored in an archive.
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace bmconv {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

/// The 16-colour palette used by 4 bpp colour bitmaps.
const std::array<Rgb, 16>& palette16();
/// The 256-colour palette used by 8 bpp colour bitmaps.
const std::array<Rgb, 256>& palette256();

/// Reads the text of a /p palette file: entries are found by scanning for "0x" or "0X", each
/// ten characters `0x00BBGGRR` (a character that is not a hex digit counts as 0). Fills
/// `palette` with the first 256 and returns true; returns false when there are fewer.
bool parsePaletteText(const std::string& text, std::array<Rgb, 256>& palette);

} // namespace bmconv
