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
/// values; each value is the first Size bytes of its slot. Where the values are followed by
/// 16 more readable bytes (before `end`) and the output has room, they are copied in blocks
/// of 16 bytes, which may write past the record (the next record overwrites that).
template <size_t Step, size_t Size>
inline void putLiteral(uint8_t*& o, const uint8_t* values, size_t count, const uint8_t* end) {
    while (count > 0) {
        const size_t piece = std::min<size_t>(count, 128);
        o[0] = uint8_t(256 - piece);
        if (Step == Size && size_t(end - values) >= piece * Size + 16) {
            for (size_t done = 0; done < piece * Size; done += 16)
                std::memcpy(o + 1 + done, values + done, 16);
        } else if (Step == Size) {
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

} // namespace records
} // namespace bmconv
