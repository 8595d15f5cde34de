// Turning rows of an archive's pixel buffer into 24-bit colour: the one place that knows
// how every depth and colour mode is packed and what colour it means.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace bmconv {

/// Expands rows of one bitmap format. Construct once per bitmap; expanding is then a
/// table look-up per pixel.
class RowExpander {
  public:
    /// `bpp` and `colour` must be a combination a checked header allows.
    RowExpander(int32_t bpp, uint32_t colour);

    /// Writes `width` pixels of `row` (one row of the pixel buffer, at least stride bytes)
    /// as B, G, R bytes to `bgr` (3 × width bytes). When `alpha` is not null it receives
    /// one byte per pixel: the stored alpha of 32 bpp bitmaps with alpha, 255 otherwise.
    void expand(const uint8_t* row, size_t width, uint8_t* bgr, uint8_t* alpha) const;

  private:
    void expandIndexed(const uint8_t* row, size_t width, uint8_t* bgr) const;

    int32_t bpp_;
    uint32_t colour_;
    std::array<uint8_t, 256 * 3> indexed_{}; // B, G, R for each index of 1 to 8 bpp
};

} // namespace bmconv
