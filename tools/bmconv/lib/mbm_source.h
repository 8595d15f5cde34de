// Random-access byte sources for reading archives.
#pragma once
#include "byte_order.h"
#include "file_view.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace bmconv {

/// A read-only file image the archive reader pulls its bytes from.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    /// Total size in bytes.
    virtual uint64_t size() const = 0;
    /// Bytes [offset, offset + length) without copying them: valid until the next view() or
    /// read(); null when the range does not lie inside the source or cannot be read.
    /// `available` (when not null) receives how many bytes from `offset` on the view holds:
    /// at least `length`.
    virtual const uint8_t* view(uint64_t offset, size_t length, size_t* available = nullptr) = 0;
    /// Copies `length` bytes starting at `offset` into `dst`. Returns false when the range
    /// does not lie inside the source or the read fails; `dst` is then unspecified.
    virtual bool read(uint64_t offset, void* dst, size_t length);
};

/// A source over bytes already in memory (tests, fuzzing). The bytes must outlive it.
class MemorySource : public ByteSource {
  public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t size() const override { return size_; }
    const uint8_t* view(uint64_t offset, size_t length, size_t* available = nullptr) override;

  private:
    const uint8_t* data_;
    size_t size_;
};

/// A source over a file on disk, seen through a window of bounded size, so memory stays
/// independent of the file's size.
class FileSource : public ByteSource {
  public:
    /// Opens `path` for reading. Returns false when it does not exist or cannot be read;
    /// `exists()` then tells the two apart.
    bool open(const std::string& path);
    bool exists() const { return exists_; }
    uint64_t size() const override { return file_.size(); }
    const uint8_t* view(uint64_t offset, size_t length, size_t* available = nullptr) override;
    bool read(uint64_t offset, void* dst, size_t length) override;

  private:
    FileView file_{2};
    bool exists_ = false;
};

} // namespace bmconv
