// The run-length schemes of archive bitmaps, encoding exactly as the SDK converter does.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace bmconv {

/// Compresses one bitmap's pixel buffer (padding included, one stream across rows) handed
/// over in pieces of any size, record for record as compressPixels does with the whole
/// buffer. Between pieces it keeps less than a kilobyte of the buffer; the records written
/// so far stay in output() until the caller takes them with dropOutput().
class StreamCompressor {
  public:
    /// `scheme`: 1 byte RLE, 2 12-bit, 3 16-bit, 4 24-bit, 5 32-bit without alpha, 6 32-bit
    /// with alpha. `total`: bytes of the whole buffer.
    StreamCompressor(int scheme, uint64_t total) { reset(scheme, total); }

    /// Starts over for another buffer, keeping the memory already taken.
    void reset(int scheme, uint64_t total);

    /// Takes the next `size` bytes of the buffer. False once the bitmap is certain to be
    /// stored raw (the compressed form got too long, or the scheme is unknown); further
    /// pieces are then ignored.
    bool push(const uint8_t* data, size_t size);

    /// After the whole buffer was pushed: true when the compressed form is the one to store.
    bool finish();

    const uint8_t* output() const { return out_.data(); }
    size_t outputSize() const { return outLength_; }
    /// Forgets the records in output() (the caller has written them elsewhere).
    void dropOutput() {
        dropped_ += outLength_;
        outLength_ = 0;
    }

  private:
    size_t process(const uint8_t* w, size_t length, bool final);
    size_t processBytes(const uint8_t* w, size_t length, bool final);
    size_t processTwelveBit(const uint8_t* w, size_t length, bool final);
    template <size_t Step, size_t Size, bool LastApart>
    size_t processValues(const uint8_t* w, size_t length, bool final);
    void ensureRoom(size_t bytes);
    template <size_t Step, size_t Size> void markPairs(const uint8_t* w, size_t count);
    bool tooLong() const;

    int scheme_;
    uint64_t total_;
    uint64_t received_ = 0;
    uint64_t start_ = 0;         // position in the buffer of the first byte not yet encoded
    uint64_t dropped_ = 0;       // bytes of records handed out and dropped
    std::vector<uint8_t> carry_; // bytes received but not yet encoded
    std::vector<uint8_t> out_;
    std::vector<uint64_t> pairs_; // for the piece being encoded: value i equals value i + 1
    size_t outLength_ = 0;
    bool failed_ = false;
    bool finalDone_ = false;
    bool tailChecked_ = false;
};

/// Compresses the whole pixel buffer `raw` with `scheme` into `out`. Returns false when the
/// converter stores this bitmap raw instead (the compressed form would be too long, or the
/// scheme is unknown); `out` is then unspecified. An empty buffer compresses to no data.
bool compressPixels(int scheme, const std::vector<uint8_t>& raw, std::vector<uint8_t>& out);

} // namespace bmconv
