// The two fixed Symbian palettes (16 and 256 colours). They are never stored in an archive.
#pragma once
#include <array>
#include <cstdint>

namespace bmconv {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

/// The 16-colour palette used by 4 bpp colour bitmaps.
const std::array<Rgb, 16>& palette16();
/// The 256-colour palette used by 8 bpp colour bitmaps.
const std::array<Rgb, 256>& palette256();

} // namespace bmconv
