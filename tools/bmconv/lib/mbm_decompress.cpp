#include "mbm_decompress.h"

#include "mbm_parse.h"

#include <algorithm>
#include <cstring>

namespace bmconv {

namespace {

// Copies of constant size compile to plain stores; these run once per value.
template <size_t kValue> void repeatValue(uint8_t* dst, const uint8_t* value, size_t count) {
    if (kValue == 1) {
        std::memset(dst, value[0], count);
        return;
    }
    for (size_t i = 0; i < count; ++i, dst += kValue)
        std::memcpy(dst, value, kValue);
}

// Stored values of kStored bytes into buffer values of kValue bytes (a missing fourth byte
// is restored as 0xFF).
template <size_t kValue, size_t kStored>
void copyValues(uint8_t* dst, const uint8_t* src, size_t count) {
    if (kValue == kStored) {
        std::memcpy(dst, src, count * kValue);
        return;
    }
    for (size_t i = 0; i < count; ++i, dst += kValue, src += kStored) {
        std::memcpy(dst, src, kStored);
        dst[kStored] = 0xFF;
    }
}

// The same with whole 8-value blocks: up to 8 values more are written past the run, so the
// caller makes sure the buffer goes on that far (the following records overwrite them).
// A run is then one or two stores, without a loop that ends at an unpredictable count.
template <size_t kValue> void repeatInBlocks(uint8_t* dst, const uint8_t* value, size_t count) {
    uint8_t block[8 * kValue];
    for (size_t i = 0; i < 8; ++i)
        std::memcpy(block + i * kValue, value, kValue);
    for (size_t done = 0; done < count; done += 8, dst += 8 * kValue)
        std::memcpy(dst, block, 8 * kValue);
}

// Copies `bytes` in blocks of 16, reading and writing up to 15 bytes past the end.
inline void copyInBlocks(uint8_t* dst, const uint8_t* src, size_t bytes) {
    for (size_t done = 0; done < bytes; done += 16)
        std::memcpy(dst + done, src + done, 16);
}

void repeatAny(uint8_t* dst, const uint8_t* value, size_t count, size_t valueBytes) {
    switch (valueBytes) {
    case 1:
        repeatValue<1>(dst, value, count);
        return;
    case 2:
        repeatValue<2>(dst, value, count);
        return;
    case 3:
        repeatValue<3>(dst, value, count);
        return;
    default:
        repeatValue<4>(dst, value, count);
        return;
    }
}

} // namespace

size_t bufferBytesPerValue(uint32_t compression) {
    switch (compression) {
    case kTwelveBitRle:
    case kSixteenBitRle:
        return 2;
    case kTwentyFourBitRle:
        return 3;
    case kThirtyTwoBitRle:
    case kThirtyTwoBitAlphaRle:
        return 4;
    default:
        return 1;
    }
}

size_t storedBytesPerValue(uint32_t compression) {
    return compression == kThirtyTwoBitRle ? 3 : bufferBytesPerValue(compression);
}

StreamDecoder::StreamDecoder(uint32_t compression, const uint8_t* data, size_t length,
                             uint64_t bufferSize)
    : StreamDecoder(compression, memory_, 0, length, bufferSize) {
    memory_ = MemorySource(data, length);
}

StreamDecoder::StreamDecoder(uint32_t compression, ByteSource& source, uint64_t offset,
                             size_t length, uint64_t bufferSize)
    : memory_(nullptr, 0), source_(source), offset_(offset), compression_(compression),
      length_(length), remainingBuffer_(bufferSize), valueBytes_(bufferBytesPerValue(compression)),
      streamBytes_(storedBytesPerValue(compression)), totalValues_(bufferSize / valueBytes_),
      unclaimed_(totalValues_) {}

bool StreamDecoder::failAt(const std::string& what) {
    if (error_.empty()) error_ = what;
    return false;
}

bool StreamDecoder::failEnded() {
    return failAt("the data ends after " + std::to_string(decodedBytes()) + " of " +
                  std::to_string(totalBytes()) + " bytes of pixels");
}

bool StreamDecoder::failInsideRecord(size_t at) {
    return failAt("the data ends inside the record at byte " + std::to_string(at));
}

bool StreamDecoder::failPastLastPixel(size_t at) {
    return failAt("the record at byte " + std::to_string(at) +
                  " of the data goes past the last pixel");
}

// Moves the window to start at `pos` holding `need` bytes, or up to the end of the data.
bool StreamDecoder::reach(size_t pos, size_t need) {
    const size_t want = std::min(need, length_ - pos);
    size_t available = 0;
    const uint8_t* bytes = source_.view(offset_ + pos, want, &available);
    if (!bytes) {
        readFailed_ = true;
        return failAt("cannot read the data at byte " + std::to_string(pos));
    }
    window_ = bytes;
    windowStart_ = pos;
    windowEnd_ = pos + size_t(std::min<uint64_t>(available, length_ - pos));
    return true;
}

bool StreamDecoder::read(uint8_t* dst, size_t count) {
    return take<true>(dst, count);
}

bool StreamDecoder::skip(uint64_t count) {
    return take<false>(nullptr, count);
}

template <bool kWrite> bool StreamDecoder::take(uint8_t* dst, uint64_t count) {
    if (!error_.empty()) return false;
    if (count % valueBytes_ != 0 || count > remainingBuffer_)
        return failAt("internal error: a read does not fit the pixel buffer");
    remainingBuffer_ -= count;
    return fill<kWrite>(dst, count / valueBytes_);
}

// Delivers what is left of a record cut off by the end of an earlier read.
template <bool kWrite> bool StreamDecoder::emitPending(uint8_t*& dst, uint64_t& values) {
    while (pending_ > 0 && values > 0) {
        uint64_t take = std::min(pending_, values);
        if (inRun_) {
            if (kWrite) repeatAny(dst, runValue_, size_t(take), valueBytes_);
        } else if (kWrite) {
            // A literal of a compressed record lies in the window whole; uncompressed data is
            // copied a window at a time.
            if (pos_ + streamBytes_ > windowEnd_ && !reach(pos_, streamBytes_)) return false;
            take = std::min<uint64_t>(take, (windowEnd_ - pos_) / streamBytes_);
            if (compression_ == kThirtyTwoBitRle)
                copyValues<4, 3>(dst, at(pos_), size_t(take));
            else
                std::memcpy(dst, at(pos_), size_t(take) * valueBytes_);
            pos_ += size_t(take) * streamBytes_;
        } else {
            pos_ += size_t(take) * streamBytes_;
        }
        pending_ -= take;
        values -= take;
        if (kWrite) dst += take * valueBytes_;
    }
    return true;
}

template <bool kWrite> bool StreamDecoder::fill(uint8_t* dst, uint64_t values) {
    if (!emitPending<kWrite>(dst, values)) return false;
    switch (compression_) {
    case kNoCompression:
        return fillUncompressed<kWrite>(dst, values);
    case kByteRle:
        return fillRecords<1, 1, kWrite>(dst, values);
    case kSixteenBitRle:
        return fillRecords<2, 2, kWrite>(dst, values);
    case kTwentyFourBitRle:
        return fillRecords<3, 3, kWrite>(dst, values);
    case kThirtyTwoBitRle:
        return fillRecords<4, 3, kWrite>(dst, values);
    case kThirtyTwoBitAlphaRle:
        return fillRecords<4, 4, kWrite>(dst, values);
    default:
        return fillTwelveBit<kWrite>(dst, values);
    }
}

// Uncompressed data is one literal of all of it.
template <bool kWrite> bool StreamDecoder::fillUncompressed(uint8_t* dst, uint64_t values) {
    while (values > 0) {
        if (pos_ >= length_) return failEnded();
        const size_t count = length_ - pos_;
        if (count > unclaimed_) return failPastLastPixel(pos_);
        unclaimed_ -= count;
        inRun_ = false;
        pending_ = count;
        if (!emitPending<kWrite>(dst, values)) return false;
    }
    return true;
}

template <bool kWrite> bool StreamDecoder::fillTwelveBit(uint8_t* dst, uint64_t values) {
    while (values > 0) { // one 16-bit word a record
        if (!startTwelveBitRecord()) return false;
        if (!emitPending<kWrite>(dst, values)) return false;
    }
    return true;
}

// Control-byte records: k < 0x80 repeats the next value k + 1 times, k >= 0x80 is followed
// by 256 - k values.
template <size_t kValue, size_t kStored, bool kWrite>
bool StreamDecoder::fillRecords(uint8_t* dst, uint64_t values) {
    constexpr size_t kLongest = 1 + 128 * kStored; // the longest record
    // The hot loop works on local copies of the position and the values left.
    size_t pos = pos_;
    uint64_t unclaimed = unclaimed_;
    auto keep = [&] {
        pos_ = pos;
        unclaimed_ = unclaimed;
    };
    // Blocks may run past a record into the rest of this read, never past it.
    uint8_t* const dstEnd = kWrite ? dst + values * kValue : nullptr;
    while (values > 0) {
        if (kWrite) {
            // Most records lie where none of the checks below can fail: whole records in the
            // window with 16 bytes to spare, values enough left in this read and the buffer for
            // the longest record and its blocks. There each record is taken whole, nothing
            // pending.
            constexpr uint64_t kRoom = 128 + 16;
            const size_t safeEnd = windowEnd_ > kLongest + 16 ? windowEnd_ - kLongest - 16 : 0;
            // Locals, so that writing the pixels does not make the compiler read them again.
            const uint8_t* const window = window_;
            const size_t windowStart = windowStart_;
            while (values >= kRoom && unclaimed >= kRoom && pos < safeEnd) {
                const uint8_t control = window[pos - windowStart];
                const uint8_t* src = window + (pos + 1 - windowStart);
                if (control < 0x80) {
                    const size_t count = size_t(control) + 1;
                    uint8_t value[kValue];
                    copyValues<kValue, kStored>(value, src, 1);
                    repeatInBlocks<kValue>(dst, value, count);
                    pos += 1 + kStored;
                    dst += count * kValue;
                    values -= count;
                    unclaimed -= count;
                } else {
                    const size_t count = size_t(256 - control);
                    if (kValue == kStored)
                        copyInBlocks(dst, src, count * kValue);
                    else
                        copyValues<kValue, kStored>(dst, src, count);
                    pos += 1 + count * kStored;
                    dst += count * kValue;
                    values -= count;
                    unclaimed -= count;
                }
            }
        }
        if (values == 0) break;
        if (pos >= length_) {
            keep();
            return failEnded();
        }
        if (pos + kLongest > windowEnd_ && windowEnd_ < length_ && !reach(pos, kLongest)) {
            keep();
            return false;
        }
        const size_t at = pos;
        const uint8_t control = *this->at(pos++);
        const bool run = control < 0x80;
        const size_t count = run ? size_t(control) + 1 : size_t(256 - control);
        const size_t stored = run ? kStored : count * kStored;
        if (length_ - pos < stored || count > unclaimed) {
            keep();
            return length_ - pos < stored ? failInsideRecord(at) : failPastLastPixel(at);
        }
        unclaimed -= count;
        const size_t take = size_t(std::min<uint64_t>(count, values));
        const uint8_t* src = this->at(pos);
        const size_t bytes = take * kValue;
        if (run) {
            // Keep the value for a run that goes on in the next read; a value stored with
            // fewer bytes than it takes is completed there before it is repeated.
            copyValues<kValue, kStored>(runValue_, src, 1);
            if (kWrite && size_t(dstEnd - dst) >= bytes + 8 * kValue)
                repeatInBlocks<kValue>(dst, runValue_, take);
            else if (kWrite)
                repeatValue<kValue>(dst, runValue_, take);
            pos += kStored;
        } else {
            if (kWrite && kValue == kStored && size_t(dstEnd - dst) >= bytes + 16 &&
                pos + bytes + 16 <= windowEnd_)
                copyInBlocks(dst, src, bytes);
            else if (kWrite)
                copyValues<kValue, kStored>(dst, src, take);
            pos += take * kStored;
        }
        inRun_ = run;
        pending_ = count - take;
        if (kWrite) dst += take * kValue;
        values -= take;
    }
    keep();
    return true;
}

bool StreamDecoder::startTwelveBitRecord() {
    if (pos_ >= length_) return failEnded();
    if (length_ - pos_ < 2) return failAt("the data ends inside a 12-bit record");
    if (pos_ + 2 > windowEnd_ && !reach(pos_, 2)) return false;
    const size_t at = pos_;
    const uint8_t* word = this->at(pos_);
    pos_ += 2;
    const size_t count = (word[1] >> 4) + 1u;
    if (count > unclaimed_) return failPastLastPixel(at);
    unclaimed_ -= count;
    inRun_ = true;
    runValue_[0] = word[0];
    runValue_[1] = uint8_t(word[1] & 0x0F); // the top four bits are the run length
    pending_ = count;
    return true;
}

bool StreamDecoder::finish() {
    if (!error_.empty()) return false;
    if (remainingBuffer_ != 0)
        return failAt("internal error: the pixel buffer was not read to its end");
    if (pos_ != length_) {
        const size_t left = length_ - pos_;
        return failAt(std::to_string(left) + (left == 1 ? " byte" : " bytes") + " of data " +
                      (left == 1 ? "is" : "are") + " left over after the last pixel");
    }
    return true;
}

} // namespace bmconv
