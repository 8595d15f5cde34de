#include "compress.h"

#include <algorithm>
#include <cstring>

namespace bmconv {

namespace {

constexpr size_t kBridgeBytes = 4096; // bytes joined to the carried ones at a time

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

} // namespace

void StreamCompressor::reset(int scheme, uint64_t total) {
    scheme_ = scheme;
    total_ = total;
    received_ = start_ = dropped_ = 0;
    carry_.clear();
    outLength_ = 0;
    failed_ = scheme < 1 || scheme > 6;
    finalDone_ = tailChecked_ = false;
}

// Before each piece is encoded, room for the most its records can take, so writing a record
// is a pointer move.
void StreamCompressor::ensureRoom(size_t bytes) {
    if (outLength_ + bytes > out_.size())
        out_.resize(std::max(out_.size() * 2, outLength_ + bytes));
}

inline uint8_t* StreamCompressor::room(size_t bytes) {
    uint8_t* at = out_.data() + outLength_;
    outLength_ += bytes;
    return at;
}

// `count` (at least 1) repeats of one value, as records of at most 128 values, full pieces
// first.
inline void StreamCompressor::repeat(const uint8_t* value, uint64_t count, size_t size) {
    while (count > 0) {
        const size_t piece = size_t(std::min<uint64_t>(count, 128));
        uint8_t* p = room(1 + size);
        p[0] = uint8_t(piece - 1);
        std::memcpy(p + 1, value, size);
        count -= piece;
    }
}

// `count` values found `step` bytes apart, as literal records of at most 128 values; each
// value is the first `size` bytes of its slot.
inline void StreamCompressor::literal(const uint8_t* values, uint64_t count, size_t step,
                                      size_t size) {
    while (count > 0) {
        const size_t piece = size_t(std::min<uint64_t>(count, 128));
        uint8_t* p = room(1 + piece * size);
        p[0] = uint8_t(256 - piece);
        if (step == size) {
            std::memcpy(p + 1, values, piece * size);
        } else {
            for (size_t i = 0; i < piece; ++i)
                std::memcpy(p + 1 + i * size, values + i * step, size);
        }
        values += piece * step;
        count -= piece;
    }
}

bool StreamCompressor::tooLong() const {
    const uint64_t produced = dropped_ + outLength_;
    switch (scheme_) {
    case 1:
        return produced > total_ / 2 + total_ / 4;
    case 2:
        return false;
    default:
        return produced > total_ * 7 / 8;
    }
}

bool StreamCompressor::push(const uint8_t* data, size_t size) {
    if (failed_) return false;
    size = size_t(std::min<uint64_t>(size, total_ - received_));
    received_ += size;
    const bool last = received_ == total_;
    for (;;) {
        if (carry_.empty()) {
            const size_t used = process(data, size, last);
            if (failed_) return false;
            start_ += used;
            if (last) {
                finalDone_ = true;
                return true;
            }
            carry_.assign(data + used, data + size);
            return true;
        }
        // A few bytes of the new piece complete what was carried; once the encoding has
        // moved into the new piece, it goes on there without copying.
        const size_t take = std::min(size, kBridgeBytes);
        carry_.insert(carry_.end(), data, data + take);
        data += take;
        size -= take;
        const bool final = last && size == 0;
        const size_t used = process(carry_.data(), carry_.size(), final);
        if (failed_) return false;
        start_ += used;
        if (final) {
            carry_.clear();
            finalDone_ = true;
            return true;
        }
        const size_t rest = carry_.size() - used;
        if (rest <= take) {
            data -= rest;
            size += rest;
            carry_.clear();
        } else {
            carry_.erase(carry_.begin(), carry_.begin() + std::ptrdiff_t(used));
            if (size == 0) return true;
        }
    }
}

bool StreamCompressor::finish() {
    static const uint8_t kNothing = 0;
    if (failed_ || received_ != total_) return false;
    if (!finalDone_ && !push(&kNothing, 0)) return false;
    // Scheme 1 checked its length before the tail, whose control bytes are not counted.
    return scheme_ == 1 || !tooLong();
}

// Encodes records from the start of `w` (`length` bytes, the buffer from start_ on) as far
// as they are certain; `final` when `w` runs to the end of the buffer. Returns the bytes
// encoded; the rest is handed in again with the next bytes.
size_t StreamCompressor::process(const uint8_t* w, size_t length, bool final) {
    ensureRoom(2 * length + 64); // a record of one value takes one byte more than the value
    switch (scheme_) {
    case 1:
        return processBytes(w, length, final);
    case 2:
        return processTwelveBit(w, length, final);
    case 3:
        return processValues<2, 2, true>(w, length, final);
    case 4:
        return processValues<3, 3, false>(w, length, final);
    case 5:
        return processValues<4, 3, false>(w, length, final);
    default:
        return processValues<4, 4, false>(w, length, final);
    }
}

// Scheme 1. Runs need three equal bytes; the last max(n/64, 4) bytes always form one
// literal; the result may not exceed 3/4 of the input (the tail's own control bytes are
// not counted, as in the SDK converter). A run or literal reaching the end of `w` before
// the end of the buffer gives out its full pieces only, keeping enough to be recognised
// again when encoding resumes there.
size_t StreamCompressor::processBytes(const uint8_t* w, size_t length, bool final) {
    const int64_t n = int64_t(total_);
    const int64_t tail = n - std::max<int64_t>(n / 64, 4) - int64_t(start_);
    const size_t end = length;
    auto triple = [w](size_t q) { return w[q] == w[q + 1] && w[q + 1] == w[q + 2]; };
    size_t p = 0;
    // p < tail <= n - 4, so p + 2 lies inside the buffer; in the last piece, inside `w`.
    while (int64_t(p) < tail) {
        if (p + 2 >= end) return p;
        size_t q;
        if (triple(p)) {
            q = p + 3;
            while (int64_t(q) < tail && q < end && w[q] == w[p])
                ++q;
            if (q == end && int64_t(q) < tail) {
                if (q - p >= 131) {
                    const size_t whole = (q - p - 3) / 128 * 128;
                    repeat(w + p, whole, 1);
                    p += whole;
                }
                return p;
            }
            repeat(w + p, q - p, 1);
        } else {
            q = p + 1;
            while (int64_t(q) < tail && (q + 2 >= end || !triple(q))) {
                if (q + 2 >= end) {
                    const size_t whole = (q - p) / 128 * 128;
                    literal(w + p, whole, 1, 1);
                    return p + whole;
                }
                ++q;
            }
            literal(w + p, q - p, 1, 1);
        }
        p = q;
        if (tooLong()) {
            failed_ = true;
            return 0;
        }
    }
    if (!tailChecked_) {
        const uint64_t produced = dropped_ + outLength_;
        if (produced + uint64_t(n - int64_t(start_) - int64_t(p)) > total_ / 2 + total_ / 4) {
            failed_ = true;
            return 0;
        }
        tailChecked_ = true;
    }
    const size_t whole = final ? end - p : (end - p) / 128 * 128;
    literal(w + p, whole, 1, 1);
    return p + whole;
}

// Scheme 2: maximal runs of equal 16-bit words, the run length in the top nibble.
size_t StreamCompressor::processTwelveBit(const uint8_t* w, size_t length, bool final) {
    const uint64_t left = total_ / 2 - start_ / 2; // words from here to the end
    const size_t have = size_t(std::min<uint64_t>(length / 2, left));
    auto word = [w](size_t i) { return unsigned(w[2 * i] | w[2 * i + 1] << 8); };
    auto emit = [this](unsigned value, size_t count) {
        while (count > 0) {
            const size_t piece = std::min<size_t>(count, 16);
            const unsigned encoded = (value & 0x0FFF) | unsigned(piece - 1) << 12;
            uint8_t* p = room(2);
            p[0] = uint8_t(encoded);
            p[1] = uint8_t(encoded >> 8);
            count -= piece;
        }
    };
    size_t p = 0;
    while (p < left) {
        if (p >= have) return 2 * p;
        const unsigned value = word(p);
        size_t q = p + 1;
        while (q < have && word(q) == value)
            ++q;
        if (q == have && have < left) {
            if (q - p > 16) {
                const size_t whole = (q - p - 1) / 16 * 16;
                emit(value, whole);
                p += whole;
            }
            return 2 * p;
        }
        emit(value, q - p);
        p = q;
    }
    return final ? length : 2 * p;
}

// Schemes 3 to 6 over values of Size bytes in slots of Step bytes. Two equal values start a
// repeat. Scheme 3 leaves a last unpaired value as a record of its own; the wider schemes
// let a literal that finds no pair take it. Where runs and literals end is read from a bit
// for each value telling whether the next one equals it.
template <size_t Step, size_t Size, bool LastApart>
size_t StreamCompressor::processValues(const uint8_t* w, size_t length, bool final) {
    const uint64_t left = total_ / Step - start_ / Step; // values from here to the end
    const size_t have = size_t(std::min<uint64_t>(length / Step, left));
    const size_t pairs = have > 0 ? have - 1 : 0; // value i pairs with i + 1 for i < pairs
    markPairs<Step, Size>(w, pairs);
    uint8_t* const begin = out_.data() + outLength_;
    uint8_t* o = begin;
    // The output may not pass 7/8 of the buffer: checked after every record.
    const uint64_t limit = total_ * 7 / 8, before = dropped_ + outLength_;
    auto stop = [&](size_t consumed) {
        outLength_ += size_t(o - begin);
        return consumed;
    };
    size_t p = 0;
    while (p + 1 < left) {
        if (p + 1 >= have) return stop(p * Step);
        size_t q;
        if (isPair(p)) {
            q = nextUnpaired(p + 1, pairs) + 1;
            if (q == have && have < left) {
                // Two values stay, so the repeat is seen again where encoding resumes.
                if (q - p >= 130) {
                    const size_t whole = (q - p - 2) / 128 * 128;
                    putRepeat<Size>(o, w + p * Step, whole);
                    p += whole;
                }
                return stop(p * Step);
            }
            putRepeat<Size>(o, w + p * Step, q - p);
        } else {
            q = nextPair(p + 1, pairs);
            if (q + 1 >= have && have < left) {
                const size_t whole = (q - p) / 128 * 128;
                putLiteral<Step, Size>(o, w + p * Step, whole);
                return stop((p + whole) * Step);
            }
            if (q + 1 == left && !LastApart) q = size_t(left);
            putLiteral<Step, Size>(o, w + p * Step, q - p);
        }
        p = q;
        if (before + uint64_t(o - begin) > limit) {
            failed_ = true;
            return stop(0);
        }
    }
    if (!final) return stop(p * Step);
    if (p < left) putLiteral<Step, Size>(o, w + p * Step, left - p);
    return stop(length);
}

// Sets bit i of pairs_ when value i equals value i + 1, for i < count.
template <size_t Step, size_t Size>
void StreamCompressor::markPairs(const uint8_t* w, size_t count) {
    pairs_.assign(count / 64 + 1, 0);
    size_t i = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    if (Step == 2 && Size == 2) {
        // Four 16-bit values against their successors in one 64-bit word; a lane that
        // compares equal becomes zero, and its bit is gathered by a multiplication.
        constexpr uint64_t kLow = 0x7FFF7FFF7FFF7FFFull, kHigh = 0x8000800080008000ull;
        constexpr uint64_t kGather = (1ull << 60) | (1ull << 45) | (1ull << 30) | (1ull << 15);
        for (; i + 4 <= count; i += 4) {
            uint64_t a, b;
            std::memcpy(&a, w + 2 * i, 8);
            std::memcpy(&b, w + 2 * i + 2, 8);
            const uint64_t x = a ^ b;
            const uint64_t zero = ~(((x & kLow) + kLow) | x) & kHigh;
            pairs_[i / 64] |= ((zero >> 15) * kGather >> 60) << (i % 64);
        }
    }
#endif
    for (; i < count; ++i) {
        const uint8_t* v = w + i * Step;
        pairs_[i / 64] |= uint64_t(valueAt<Size>(v) == valueAt<Size>(v + Step)) << (i % 64);
    }
}

inline bool StreamCompressor::isPair(size_t i) const {
    return (pairs_[i / 64] >> (i % 64)) & 1;
}

// The first i >= from with its bit set (clear for nextUnpaired), or `limit` when there is
// none before it. Bits from `limit` on are clear.
inline size_t StreamCompressor::nextPair(size_t from, size_t limit) const {
    for (size_t i = from; i < limit; i = (i | 63) + 1) {
        const uint64_t bits = pairs_[i / 64] >> (i % 64);
        if (bits) return std::min(limit, i + lowestBit(bits));
    }
    return limit;
}

inline size_t StreamCompressor::nextUnpaired(size_t from, size_t limit) const {
    for (size_t i = from; i < limit; i = (i | 63) + 1) {
        const uint64_t bits = ~pairs_[i / 64] >> (i % 64);
        if (bits) return std::min(limit, i + lowestBit(bits));
    }
    return limit;
}

bool compressPixels(int scheme, const std::vector<uint8_t>& raw, std::vector<uint8_t>& out) {
    StreamCompressor compressor(scheme, raw.size());
    compressor.push(raw.data(), raw.size());
    const bool compressed = compressor.finish();
    out.assign(compressor.output(), compressor.output() + compressor.outputSize());
    return compressed;
}

} // namespace bmconv
