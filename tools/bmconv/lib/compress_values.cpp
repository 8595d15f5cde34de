#include "compress.h"

#include "compress_records.h"
#include "simd_dispatch.h"

#ifdef ZEMBREL_AVX2
#include <immintrin.h>
#endif

namespace bmconv {

using records::putLiteral;
using records::putRepeat;
using records::valueAt;

namespace {

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

// Bit i of `bits` tells whether value i equals value i + 1.
inline bool isPair(const uint64_t* bits, size_t i) {
    return (bits[i / 64] >> (i % 64)) & 1;
}

// The first i >= from whose bit differs from the bits of `flip` (all ones or zero), or
// `limit`.
inline size_t nextFlipped(const uint64_t* bits, uint64_t flip, size_t from, size_t limit) {
    for (size_t i = from; i < limit; i = (i | 63) + 1) {
        const uint64_t word = (bits[i / 64] ^ flip) >> (i % 64);
        if (word) return std::min(limit, i + lowestBit(word));
    }
    return limit;
}

// The values of word `word` that start a record, once the records before them were read
// from a record start: value i starts one when it differs from value i - 1 (bit i - 1
// clear) and either equals value i + 1 (a run begins) or value i - 2 equals i - 1 (a run
// ended at i - 1, a literal begins).
inline uint64_t recordStarts(const uint64_t* bits, size_t word) {
    const uint64_t b = bits[word], before = word > 0 ? bits[word - 1] : 0;
    const uint64_t previous = b << 1 | before >> 63, second = b << 2 | before >> 62;
    return ~previous & (b | second);
}

// Writes the records that start at p and at each record start after it, as long as they
// end before qEnd and hold at most 128 values (see the caller). Returns where the last one
// ends; sets `full` when the output passed oEnd. A record that ends in the word of pair
// bits it starts in holds fewer than 64 values, so its length needs no check, and the
// output only grows: both are checked where a record reaches into a later word, and on the
// way out. Few values live in the loop, so they stay in registers: a record is some fifteen
// instructions and no branch a processor mispredicts.
template <size_t Size>
size_t putRecords(const uint64_t* bits, const uint8_t* w, size_t p, size_t qEnd, uint8_t*& out,
                  const uint8_t* oEnd, bool& full) {
    size_t word = (p + 1) / 64;
    if (word * 64 >= qEnd) return p;
    // The starts of word k before qEnd (k * 64 < qEnd).
    auto startsIn = [bits, qEnd](size_t k) {
        const uint64_t starts = recordStarts(bits, k);
        const size_t room = qEnd - k * 64;
        return room < 64 ? starts & ((uint64_t(1) << room) - 1) : starts;
    };
    uint64_t starts = startsIn(word) & (~uint64_t(0) << ((p + 1) % 64));
    uint64_t pairs = bits[word];
    // The kind of the record at p is kept from when its start was found: no load that waits
    // for p.
    size_t run = isPair(bits, p);
    uint8_t* o = out;
    for (;;) {
        if (starts == 0) {
            do {
                if (++word * 64 >= qEnd) {
                    full = o > oEnd;
                    out = o;
                    return p;
                }
                starts = startsIn(word);
            } while (starts == 0);
            pairs = bits[word];
            if (word * 64 + lowestBit(starts) - p > 128 || o > oEnd) break;
        }
        const size_t at = lowestBit(starts);
        const size_t next = word * 64 + at;
        const size_t nextRun = (pairs >> at) & 1;
        starts &= starts - 1;
        const size_t count = next - p;
        const size_t literal = run - 1;        // all ones for a literal
        o[0] = uint8_t((count - 1) ^ literal); // 256 - count for a literal
        const size_t bytes = Size + (((count - 1) * Size) & literal);
        const uint8_t* src = w + p * Size;
        // 16-byte blocks: most records hold fewer than eight values, so one store does.
        std::memcpy(o + 1, src, 16);
        for (size_t done = 16; done < bytes; done += 16)
            std::memcpy(o + 1 + done, src + done, 16);
        o += 1 + bytes;
        p = next;
        run = nextRun;
    }
    full = o > oEnd;
    out = o;
    return p;
}

#ifdef ZEMBREL_AVX2
// Pair bits of 16-bit values, 32 at a time: the comparisons packed to bytes, their top bits
// gathered. Returns how many values were done.
__attribute__((target("avx2"))) size_t markPairs16Avx2(const uint8_t* w, size_t count,
                                                       uint64_t* bits) {
    size_t i = 0;
    for (; i + 32 <= count; i += 32) { // reads values i to i + 32
        const uint8_t* v = w + 2 * i;
        const __m256i a0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v));
        const __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v + 2));
        const __m256i a1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v + 32));
        const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v + 34));
        const __m256i packed =
            _mm256_packs_epi16(_mm256_cmpeq_epi16(a0, b0), _mm256_cmpeq_epi16(a1, b1));
        // Packing works within 128-bit halves: put the four 8-value groups back in order.
        const __m256i ordered = _mm256_permute4x64_epi64(packed, 0xD8);
        bits[i / 64] |= uint64_t(uint32_t(_mm256_movemask_epi8(ordered))) << (i % 64);
    }
    return i;
}
#endif

} // namespace

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
    const uint64_t* const bits = pairs_.data();
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
        if (Step == Size) {
            // Most records end well inside what is here and hold at most 128 values. Those
            // are written without asking whether they are runs or literals, which no
            // processor predicts: the kind selects by masks, and the bytes after the control
            // byte are copied in 32-byte blocks (for a run its value and what follows,
            // overwritten by the next record). Records may end before qEnd: one value stays
            // after them, and 32 bytes of this piece for the blocks.
            const size_t qEnd = std::min(have - 1, length >= 32 ? (length - 32) / Size : 0);
            // The output may grow to oEnd before it passes 7/8 of the buffer.
            const uint8_t* const oEnd = limit >= before ? begin + (limit - before) : begin;
            auto put = [&](size_t from, size_t to) {
                const size_t count = to - from;
                const size_t run = 0 - size_t(isPair(bits, from)); // all ones for a run
                const size_t bytes = Size + (((count - 1) * Size) & ~run);
                o[0] = uint8_t(((count - 1) & run) | ((256 - count) & ~run));
                const uint8_t* src = w + from * Size;
                std::memcpy(o + 1, src, 32);
                for (size_t done = 32; done < bytes; done += 32)
                    std::memcpy(o + 1 + done, src + done, 32);
                o += 1 + bytes;
                return o <= oEnd;
            };
            // The first record: it ends at the first bit after p that differs from p's own.
            if (p + 1 < have) {
                const size_t isRun = isPair(bits, p);
                const size_t q = nextFlipped(bits, 0 - isRun, p + 1, pairs) + isRun;
                if (q < qEnd && q - p <= 128) {
                    if (!put(p, q)) {
                        failed_ = true;
                        return stop(0);
                    }
                    p = q;
                    // The next ones start where recordStarts() says, found without a chain
                    // from one record to the next.
                    bool full = false;
                    p = putRecords<Size>(bits, w, p, qEnd, o, oEnd, full);
                    if (full) {
                        failed_ = true;
                        return stop(0);
                    }
                    continue;
                }
            }
            if (p + 1 >= left) break;
        }
        if (p + 1 >= have) return stop(p * Step);
        size_t q;
        if (isPair(bits, p)) {
            q = nextFlipped(bits, ~uint64_t(0), p + 1, pairs) + 1;
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
            q = nextFlipped(bits, 0, p + 1, pairs);
            if (q + 1 >= have && have < left) {
                const size_t whole = (q - p) / 128 * 128;
                putLiteral<Step, Size>(o, w + p * Step, whole, w + length);
                return stop((p + whole) * Step);
            }
            if (q + 1 == left && !LastApart) q = size_t(left);
            putLiteral<Step, Size>(o, w + p * Step, q - p, w + length);
        }
        p = q;
        if (before + uint64_t(o - begin) > limit) {
            failed_ = true;
            return stop(0);
        }
    }
    if (!final) return stop(p * Step);
    if (p < left) putLiteral<Step, Size>(o, w + p * Step, left - p, w + length);
    return stop(length);
}

// Sets bit i of pairs_ when value i equals value i + 1, for i < count.
template <size_t Step, size_t Size>
void StreamCompressor::markPairs(const uint8_t* w, size_t count) {
    pairs_.assign(count / 64 + 1, 0);
    size_t i = 0;
#ifdef ZEMBREL_AVX2
    if (Step == 2 && Size == 2 && useAvx2()) i = markPairs16Avx2(w, count, pairs_.data());
#endif
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

template size_t StreamCompressor::processValues<2, 2, true>(const uint8_t*, size_t, bool);
template size_t StreamCompressor::processValues<3, 3, false>(const uint8_t*, size_t, bool);
template size_t StreamCompressor::processValues<4, 3, false>(const uint8_t*, size_t, bool);
template size_t StreamCompressor::processValues<4, 4, false>(const uint8_t*, size_t, bool);

} // namespace bmconv
