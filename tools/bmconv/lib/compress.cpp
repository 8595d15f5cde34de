#include "compress.h"

#include <algorithm>

namespace bmconv {
namespace {

/// Appends `count` (at least 1) repeats of one value as records of at most 128 values,
/// full pieces first.
void writeRepeat(std::vector<uint8_t>& out, const uint8_t* value, size_t count, size_t size) {
    while (count > 0) {
        const size_t piece = std::min<size_t>(count, 128);
        out.push_back(uint8_t(piece - 1));
        for (size_t i = 0; i < size; ++i)
            out.push_back(value[i]);
        count -= piece;
    }
}

/// Appends `count` values found `step` bytes apart as literal records of at most 128
/// values; each value is the first `size` bytes of its slot.
void writeLiteral(std::vector<uint8_t>& out, const uint8_t* values, size_t count, size_t step,
                  size_t size) {
    while (count > 0) {
        const size_t piece = std::min<size_t>(count, 128);
        out.push_back(uint8_t(256 - piece));
        if (step == size) {
            out.insert(out.end(), values, values + piece * size);
            values += piece * size;
        } else {
            for (size_t i = 0; i < piece; ++i, values += step)
                out.insert(out.end(), values, values + size);
        }
        count -= piece;
    }
}

/// Scheme 1. Runs need three equal bytes; the last max(n/64, 4) bytes always form one
/// literal; the result may not exceed 3/4 of the input (the tail's own control bytes are
/// not counted, as in the SDK converter).
bool compressBytes(const std::vector<uint8_t>& b, std::vector<uint8_t>& out) {
    const size_t n = b.size();
    const int64_t tailStart = int64_t(n) - std::max<int64_t>(int64_t(n / 64), 4);
    const size_t limit = n / 2 + n / 4;
    // q < tailStart <= n - 4, so q + 2 always lies inside the buffer.
    auto triple = [&b](size_t q) { return b[q] == b[q + 1] && b[q + 1] == b[q + 2]; };
    size_t p = 0;
    while (int64_t(p) < tailStart) {
        size_t q;
        if (triple(p)) {
            q = p + 3;
            while (int64_t(q) < tailStart && b[q] == b[p])
                ++q;
            writeRepeat(out, &b[p], q - p, 1);
        } else {
            q = p + 1;
            while (int64_t(q) < tailStart && !triple(q))
                ++q;
            writeLiteral(out, &b[p], q - p, 1, 1);
        }
        p = q;
        if (out.size() > limit) return false;
    }
    if (out.size() + (n - p) > limit) return false;
    writeLiteral(out, b.data() + p, n - p, 1, 1);
    return true;
}

/// Scheme 2: maximal runs of equal 16-bit words, the run length in the top nibble.
void compress12(const std::vector<uint8_t>& b, std::vector<uint8_t>& out) {
    const size_t words = b.size() / 2;
    auto word = [&b](size_t i) { return unsigned(b[2 * i] | b[2 * i + 1] << 8); };
    size_t p = 0;
    while (p < words) {
        const unsigned value = word(p);
        size_t q = p + 1;
        while (q < words && word(q) == value)
            ++q;
        for (size_t left = q - p; left > 0;) {
            const size_t piece = std::min<size_t>(left, 16);
            const unsigned encoded = (value & 0x0FFF) | unsigned(piece - 1) << 12;
            out.push_back(uint8_t(encoded));
            out.push_back(uint8_t(encoded >> 8));
            left -= piece;
        }
        p = q;
    }
}

/// Reads the first Size bytes of a value slot as one integer, so comparing is one compare.
template <size_t Size> inline uint32_t valueAt(const uint8_t* p) {
    uint32_t v = 0;
    for (size_t i = 0; i < Size; ++i)
        v |= uint32_t(p[i]) << (8 * i);
    return v;
}

/// Schemes 3 to 6 over values of Size bytes in slots of Step bytes. Two equal values start a
/// repeat. Scheme 3 leaves a last unpaired value as a record of its own; the wider schemes
/// let a literal that finds no pair take it.
template <size_t Step, size_t Size>
bool compressValues(const std::vector<uint8_t>& b, bool lastApart, std::vector<uint8_t>& out) {
    const size_t n = b.size();
    const size_t count = n / Step;
    const uint8_t* d = b.data();
    auto value = [d](size_t i) { return valueAt<Size>(d + i * Step); };
    size_t p = 0;
    while (p + 1 < count) {
        size_t q;
        const uint32_t first = value(p);
        if (value(p + 1) == first) {
            q = p + 2;
            while (q < count && value(q) == first)
                ++q;
            writeRepeat(out, d + p * Step, q - p, Size);
        } else {
            q = p + 1;
            while (q + 1 < count && value(q + 1) != value(q))
                ++q;
            if (q + 1 == count && !lastApart) q = count;
            writeLiteral(out, d + p * Step, q - p, Step, Size);
        }
        p = q;
        if (out.size() > n * 7 / 8) return false; // output only grows: stop early
    }
    if (p < count) writeLiteral(out, d + p * Step, count - p, Step, Size);
    return out.size() <= n * 7 / 8;
}

} // namespace

bool compressPixels(int scheme, const std::vector<uint8_t>& raw, std::vector<uint8_t>& out) {
    out.clear();
    out.reserve(raw.size() + raw.size() / 64 + 8);
    switch (scheme) {
    case 1:
        return compressBytes(raw, out);
    case 2:
        compress12(raw, out);
        return true;
    case 3:
        return compressValues<2, 2>(raw, true, out);
    case 4:
        return compressValues<3, 3>(raw, false, out);
    case 5:
        return compressValues<4, 3>(raw, false, out);
    case 6:
        return compressValues<4, 4>(raw, false, out);
    default:
        return false;
    }
}

} // namespace bmconv
