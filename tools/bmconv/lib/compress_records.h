// Writing run-length records, shared by the schemes' encoders.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace bmconv {
namespace records {

/// The first Size bytes of a value slot as one integer, so comparing is one compare. Only
/// equality is asked, so the host's byte order does not matter.
template <size_t Size> inline uint32_t valueAt(const uint8_t* p) {
    uint32_t v = 0;
    std::memcpy(&v, p, Size);
    return v;
}

/// Writes `count` (at least 1) repeats of one value at `o`, as records of at most 128
/// values, full pieces first.
template <size_t Size> inline void putRepeat(uint8_t*& o, const uint8_t* value, size_t count) {
    for (;;) {
        const size_t piece = std::min<size_t>(count, 128);
        o[0] = uint8_t(piece - 1);
        std::memcpy(o + 1, value, Size);
        o += 1 + Size;
        count -= piece;
        if (count == 0) return;
    }
}

/// Writes `count` values found Step bytes apart at `o`, as literal records of at most 128
/// values; each value is the first Size bytes of its slot.
template <size_t Step, size_t Size>
inline void putLiteral(uint8_t*& o, const uint8_t* values, size_t count) {
    while (count > 0) {
        const size_t piece = std::min<size_t>(count, 128);
        o[0] = uint8_t(256 - piece);
        if (Step == Size) {
            std::memcpy(o + 1, values, piece * Size);
        } else {
            for (size_t i = 0; i < piece; ++i)
                std::memcpy(o + 1 + i * Size, values + i * Step, Size);
        }
        o += 1 + piece * Size;
        values += piece * Step;
        count -= piece;
    }
}

/// The index of the lowest set bit of `bits` (not 0).
inline size_t lowestBit(uint64_t bits) {
#if defined(__GNUC__)
    return size_t(__builtin_ctzll(bits));
#else
    size_t n = 0;
    while (!(bits & 1)) {
        bits >>= 1;
        ++n;
    }
    return n;
#endif
}

} // namespace records
} // namespace bmconv
