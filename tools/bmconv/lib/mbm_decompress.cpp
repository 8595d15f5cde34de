#include "mbm_decompress.h"

#include "mbm_parse.h"

#include <algorithm>
#include <cstring>

namespace bmconv {

namespace {

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

StreamDecoder::StreamDecoder(uint32_t compression, const uint8_t* data, size_t length,
                             uint64_t bufferSize)
    : compression_(compression), data_(data), length_(length), remainingBuffer_(bufferSize),
      valueBytes_(bufferBytesPerValue(compression)), streamBytes_(storedBytesPerValue(compression)),
      totalValues_(bufferSize / valueBytes_), unclaimed_(totalValues_) {}

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

bool StreamDecoder::read(uint8_t* dst, size_t count) {
    if (!error_.empty()) return false;
    if (count % valueBytes_ != 0 || count > remainingBuffer_)
        return failAt("internal error: a read does not fit the pixel buffer");
    remainingBuffer_ -= count;
    return fill(dst, count / valueBytes_);
}

// Delivers what is left of a record cut off by the end of an earlier read.
size_t StreamDecoder::emitPending(uint8_t* dst, size_t values) {
    const size_t take = std::min(pending_, values);
    if (inRun_) {
        repeatAny(dst, runValue_, take, valueBytes_);
    } else if (compression_ == kThirtyTwoBitRle) {
        copyValues<4, 3>(dst, data_ + pos_, take);
        pos_ += take * 3;
    } else {
        std::memcpy(dst, data_ + pos_, take * valueBytes_);
        pos_ += take * valueBytes_;
    }
    pending_ -= take;
    return take;
}

bool StreamDecoder::fill(uint8_t* dst, size_t values) {
    const size_t done = emitPending(dst, values);
    dst += done * valueBytes_;
    values -= done;
    switch (compression_) {
    case kNoCompression:
        return fillRecords<1, 1>(dst, values);
    case kByteRle:
        return fillRecords<1, 1>(dst, values);
    case kSixteenBitRle:
        return fillRecords<2, 2>(dst, values);
    case kTwentyFourBitRle:
        return fillRecords<3, 3>(dst, values);
    case kThirtyTwoBitRle:
        return fillRecords<4, 3>(dst, values);
    case kThirtyTwoBitAlphaRle:
        return fillRecords<4, 4>(dst, values);
    default:
        break;
    }
    while (values > 0) { // 12-bit RLE: one 16-bit word a record
        if (!startTwelveBitRecord()) return false;
        const size_t done12 = emitPending(dst, values);
        dst += done12 * 2;
        values -= done12;
    }
    return true;
}

// Control-byte records: k < 0x80 repeats the next value k + 1 times, k >= 0x80 is followed
// by 256 - k values. Uncompressed data is read as one literal of all of it.
template <size_t kValue, size_t kStored>
bool StreamDecoder::fillRecords(uint8_t* dst, size_t values) {
    // The hot loop works on local copies of the position and the values left.
    size_t pos = pos_;
    uint64_t unclaimed = unclaimed_;
    auto keep = [&] {
        pos_ = pos;
        unclaimed_ = unclaimed;
    };
    while (values > 0) {
        if (pos >= length_) {
            keep();
            return failEnded();
        }
        const size_t at = pos;
        size_t count, stored;
        bool run;
        if (compression_ == kNoCompression) {
            run = false;
            count = length_ - pos;
            stored = count;
        } else {
            const uint8_t control = data_[pos++];
            run = control < 0x80;
            count = run ? size_t(control) + 1 : size_t(256 - control);
            stored = run ? kStored : count * kStored;
        }
        if (length_ - pos < stored || count > unclaimed) {
            keep();
            return length_ - pos < stored ? failInsideRecord(at) : failPastLastPixel(at);
        }
        unclaimed -= count;
        const size_t take = std::min(count, values);
        const uint8_t* src = data_ + pos;
        if (run) {
            // Keep the value for a run that goes on in the next read; a value stored with
            // fewer bytes than it takes is completed there before it is repeated.
            copyValues<kValue, kStored>(runValue_, src, 1);
            repeatValue<kValue>(dst, kValue == kStored ? src : runValue_, take);
            pos += kStored;
        } else {
            copyValues<kValue, kStored>(dst, src, take);
            pos += take * kStored;
        }
        inRun_ = run;
        pending_ = count - take;
        dst += take * kValue;
        values -= take;
    }
    keep();
    return true;
}

bool StreamDecoder::startTwelveBitRecord() {
    if (pos_ >= length_) return failEnded();
    if (length_ - pos_ < 2) return failAt("the data ends inside a 12-bit record");
    const size_t at = pos_;
    const unsigned word = data_[pos_] | unsigned(data_[pos_ + 1]) << 8;
    pos_ += 2;
    const size_t count = (word >> 12) + 1;
    if (count > unclaimed_) return failPastLastPixel(at);
    unclaimed_ -= count;
    inRun_ = true;
    runValue_[0] = uint8_t(word & 0xFF);
    runValue_[1] = uint8_t((word >> 8) & 0x0F); // the top four bits are the run length
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
