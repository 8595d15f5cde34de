#include "mbm_decompress.h"

#include "mbm_parse.h"

#include <algorithm>
#include <cstring>

namespace bmconv {

namespace {

size_t bufferBytesPerValue(uint32_t compression) {
    switch (compression) {
    case kTwelveBitRle:
    case kSixteenBitRle: return 2;
    case kTwentyFourBitRle: return 3;
    case kThirtyTwoBitRle:
    case kThirtyTwoBitAlphaRle: return 4;
    default: return 1;
    }
}

size_t storedBytesPerValue(uint32_t compression) {
    return compression == kThirtyTwoBitRle ? 3 : bufferBytesPerValue(compression);
}

} // namespace

StreamDecoder::StreamDecoder(uint32_t compression, const uint8_t* data, size_t length,
                             uint64_t bufferSize)
    : compression_(compression), data_(data), length_(length), remainingBuffer_(bufferSize),
      valueBytes_(bufferBytesPerValue(compression)),
      streamBytes_(storedBytesPerValue(compression)), totalValues_(bufferSize / valueBytes_),
      unclaimed_(totalValues_) {}

bool StreamDecoder::failAt(const std::string& what) {
    if (error_.empty()) error_ = what;
    return false;
}

bool StreamDecoder::read(uint8_t* dst, size_t count) {
    if (!error_.empty()) return false;
    if (count % valueBytes_ != 0 || count > remainingBuffer_)
        return failAt("internal error: a read does not fit the pixel buffer");
    remainingBuffer_ -= count;
    return fill(dst, count / valueBytes_);
}

bool StreamDecoder::fill(uint8_t* dst, size_t values) {
    while (values > 0) {
        if (pending_ == 0 && !startRecord()) return false;
        const size_t take = std::min(pending_, values);
        if (inRun_) {
            emitRun(dst, take);
        } else {
            emitLiteral(dst, take);
        }
        pending_ -= take;
        values -= take;
        dst += take * valueBytes_;
    }
    return true;
}

bool StreamDecoder::startRecord() {
    if (pos_ >= length_) {
        return failAt("the data ends after " + std::to_string(decodedBytes()) + " of " +
                      std::to_string(totalBytes()) + " bytes of pixels");
    }
    const size_t at = pos_;
    size_t count = 0;
    if (compression_ == kNoCompression) {
        inRun_ = false;
        count = length_;
    } else if (compression_ == kTwelveBitRle) {
        if (length_ - pos_ < 2) return failAt("the data ends inside a 12-bit record");
        const unsigned word = data_[pos_] | unsigned(data_[pos_ + 1]) << 8;
        pos_ += 2;
        inRun_ = true;
        count = (word >> 12) + 1;
        runValue_[0] = uint8_t(word & 0xFF);
        runValue_[1] = uint8_t((word >> 8) & 0x0F);
    } else {
        const uint8_t control = data_[pos_++];
        inRun_ = control < 0x80;
        count = inRun_ ? size_t(control) + 1 : size_t(256 - control);
        const size_t stored = inRun_ ? streamBytes_ : count * streamBytes_;
        if (length_ - pos_ < stored) {
            return failAt("the data ends inside the record at byte " + std::to_string(at));
        }
        if (inRun_) {
            std::memcpy(runValue_, data_ + pos_, streamBytes_);
            if (compression_ == kThirtyTwoBitRle) runValue_[3] = 0xFF;
            pos_ += streamBytes_;
        }
    }
    if (count > unclaimed_) {
        return failAt("the record at byte " + std::to_string(at) +
                      " of the data goes past the last pixel");
    }
    unclaimed_ -= count;
    pending_ = count;
    return true;
}

void StreamDecoder::emitRun(uint8_t* dst, size_t values) {
    if (valueBytes_ == 1) {
        std::memset(dst, runValue_[0], values);
        return;
    }
    for (size_t i = 0; i < values; ++i, dst += valueBytes_)
        std::memcpy(dst, runValue_, valueBytes_);
}

void StreamDecoder::emitLiteral(uint8_t* dst, size_t values) {
    if (compression_ != kThirtyTwoBitRle) {
        const size_t bytes = values * valueBytes_;
        std::memcpy(dst, data_ + pos_, bytes);
        pos_ += bytes;
        return;
    }
    for (size_t i = 0; i < values; ++i, dst += 4, pos_ += 3) {
        std::memcpy(dst, data_ + pos_, 3);
        dst[3] = 0xFF;
    }
}

bool StreamDecoder::finish() {
    if (!error_.empty()) return false;
    if (remainingBuffer_ != 0) return failAt("internal error: the pixel buffer was not read to its end");
    if (pos_ != length_) {
        return failAt(std::to_string(length_ - pos_) +
                      " bytes of data are left over after the last pixel");
    }
    return true;
}

} // namespace bmconv
