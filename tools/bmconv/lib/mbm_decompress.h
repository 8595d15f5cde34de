// Decoding the stored pixel data of a bitmap (compressions 0 to 6) piece by piece, so a
// caller can take the pixel buffer row by row without holding all of it.
#pragma once
#include "mbm_source.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace bmconv {

/// Turns one bitmap's stored data into its pixel buffer, in order. Runs cross row ends, so
/// the decoder keeps a run that is only partly delivered for the next call. The stored data
/// is read through the source's window: memory does not grow with the bitmap.
class StreamDecoder {
  public:
    /// `data` (which must outlive the decoder) holds `length` bytes stored with
    /// `compression` (0 to 6) for a buffer of `bufferSize` bytes.
    StreamDecoder(uint32_t compression, const uint8_t* data, size_t length, uint64_t bufferSize);
    /// The same for `length` bytes of `source` (which must outlive the decoder) from
    /// `offset` on.
    StreamDecoder(uint32_t compression, ByteSource& source, uint64_t offset, size_t length,
                  uint64_t bufferSize);
    StreamDecoder(const StreamDecoder&) = delete;
    StreamDecoder& operator=(const StreamDecoder&) = delete;

    /// Bytes one value takes in the pixel buffer (1, 2, 3 or 4); every read must ask for a
    /// multiple of it. Rows always are.
    size_t valueBytes() const { return valueBytes_; }

    /// Writes the next `count` bytes of the pixel buffer to `dst`. Returns false, with
    /// error() naming the problem, when the data ends early or would fill more than the
    /// buffer.
    bool read(uint8_t* dst, size_t count);

    /// Checks the next `count` bytes of the pixel buffer as read() would, without writing
    /// them anywhere: only the records' control bytes are looked at.
    bool skip(uint64_t count);

    /// After the whole buffer was read: true when the data was used up exactly; otherwise
    /// error() says what is left over.
    bool finish();

    const std::string& error() const { return error_; }
    /// True when the failure was the file not giving its bytes, not damaged data.
    bool readFailed() const { return readFailed_; }

  private:
    template <bool kWrite> bool take(uint8_t* dst, uint64_t count);
    template <bool kWrite> bool fill(uint8_t* dst, uint64_t values);
    template <size_t kValue, size_t kStored, bool kWrite>
    bool fillRecords(uint8_t* dst, uint64_t values);
    template <bool kWrite> bool fillUncompressed(uint8_t* dst, uint64_t values);
    template <bool kWrite> bool fillTwelveBit(uint8_t* dst, uint64_t values);
    bool startTwelveBitRecord();
    template <bool kWrite> bool emitPending(uint8_t*& dst, uint64_t& values);
    bool reach(size_t pos, size_t need);
    const uint8_t* at(size_t pos) const { return window_ + (pos - windowStart_); }
    bool failAt(const std::string& what);
    bool failEnded();
    bool failInsideRecord(size_t at);
    bool failPastLastPixel(size_t at);
    uint64_t totalBytes() const { return totalValues_ * valueBytes_; }
    uint64_t decodedBytes() const { return (totalValues_ - unclaimed_ - pending_) * valueBytes_; }

    MemorySource memory_; // the source of the first constructor
    ByteSource& source_;
    uint64_t offset_; // where the data starts in the source
    uint32_t compression_;
    size_t length_;
    size_t pos_ = 0;
    const uint8_t* window_ = nullptr; // data bytes [windowStart_, windowEnd_)
    size_t windowStart_ = 0, windowEnd_ = 0;
    uint64_t remainingBuffer_;
    size_t valueBytes_;  // bytes a value takes in the pixel buffer
    size_t streamBytes_; // bytes a value takes in the stored data
    // The record being delivered: a run of one value or a literal read from the data.
    bool inRun_ = false;
    uint64_t pending_ = 0; // values of the current record not yet delivered
    uint64_t totalValues_;
    uint64_t unclaimed_; // values of the buffer no record has covered yet
    uint8_t runValue_[4] = {0, 0, 0, 0};
    std::string error_;
    bool readFailed_ = false;
};

} // namespace bmconv
