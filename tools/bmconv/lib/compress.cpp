#include "compress.h"

#include "compress_records.h"

#include <algorithm>
#include <cstring>

namespace bmconv {

using records::putLiteral;
using records::putRepeat;

namespace {

constexpr size_t kBridgeBytes = 4096; // bytes joined to the carried ones at a time

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
    // A record of one value takes one byte more than the value; blocks copied in 32 bytes
    // may write 31 past the last record.
    ensureRoom(2 * length + 64);
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
    const uint64_t limit = total_ / 2 + total_ / 4, before = dropped_ + outLength_;
    uint8_t* const begin = out_.data() + outLength_;
    uint8_t* o = begin;
    auto stop = [&](size_t consumed) {
        outLength_ += size_t(o - begin);
        return consumed;
    };
    const size_t end = length;
    auto triple = [w](size_t q) { return w[q] == w[q + 1] && w[q + 1] == w[q + 2]; };
    size_t p = 0;
    // p < tail <= n - 4, so p + 2 lies inside the buffer; in the last piece, inside `w`.
    while (int64_t(p) < tail) {
        if (p + 2 >= end) return stop(p);
        size_t q;
        if (triple(p)) {
            q = p + 3;
            while (int64_t(q) < tail && q < end && w[q] == w[p])
                ++q;
            if (q == end && int64_t(q) < tail) {
                if (q - p >= 131) {
                    const size_t whole = (q - p - 3) / 128 * 128;
                    putRepeat<1>(o, w + p, whole);
                    p += whole;
                }
                return stop(p);
            }
            putRepeat<1>(o, w + p, q - p);
        } else {
            q = p + 1;
            while (int64_t(q) < tail && (q + 2 >= end || !triple(q))) {
                if (q + 2 >= end) {
                    const size_t whole = (q - p) / 128 * 128;
                    putLiteral<1, 1>(o, w + p, whole, w + length);
                    return stop(p + whole);
                }
                ++q;
            }
            putLiteral<1, 1>(o, w + p, q - p, w + length);
        }
        p = q;
        if (before + uint64_t(o - begin) > limit) {
            failed_ = true;
            return stop(0);
        }
    }
    if (!tailChecked_) {
        if (before + uint64_t(o - begin) + uint64_t(n - int64_t(start_) - int64_t(p)) > limit) {
            failed_ = true;
            return stop(0);
        }
        tailChecked_ = true;
    }
    const size_t whole = final ? end - p : (end - p) / 128 * 128;
    putLiteral<1, 1>(o, w + p, whole, w + length);
    return stop(p + whole);
}

// Scheme 2: maximal runs of equal 16-bit words, the run length in the top nibble.
size_t StreamCompressor::processTwelveBit(const uint8_t* w, size_t length, bool final) {
    const uint64_t left = total_ / 2 - start_ / 2; // words from here to the end
    const size_t have = size_t(std::min<uint64_t>(length / 2, left));
    auto word = [w](size_t i) { return unsigned(w[2 * i] | w[2 * i + 1] << 8); };
    uint8_t* const begin = out_.data() + outLength_;
    uint8_t* o = begin;
    auto emit = [&o](unsigned value, size_t count) {
        while (count > 0) {
            const size_t piece = std::min<size_t>(count, 16);
            const unsigned encoded = (value & 0x0FFF) | unsigned(piece - 1) << 12;
            o[0] = uint8_t(encoded);
            o[1] = uint8_t(encoded >> 8);
            o += 2;
            count -= piece;
        }
    };
    auto stop = [&](size_t consumed) {
        outLength_ += size_t(o - begin);
        return consumed;
    };
    size_t p = 0;
    while (p < left) {
        if (p >= have) return stop(2 * p);
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
            return stop(2 * p);
        }
        emit(value, q - p);
        p = q;
    }
    return stop(final ? length : 2 * p);
}

bool compressPixels(int scheme, const std::vector<uint8_t>& raw, std::vector<uint8_t>& out) {
    StreamCompressor compressor(scheme, raw.size());
    compressor.push(raw.data(), raw.size());
    const bool compressed = compressor.finish();
    out.assign(compressor.output(), compressor.output() + compressor.outputSize());
    return compressed;
}

} // namespace bmconv
