// Random-access byte sources for reading archives.
#pragma once
#include "byte_order.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace bmconv {

/// A read-only file image the archive reader pulls its bytes from.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    /// Total size in bytes.
    virtual uint64_t size() const = 0;
    /// Copies `length` bytes starting at `offset` into `dst`. Returns false when the range
    /// does not lie inside the source or the read fails; `dst` is then unspecified.
    virtual bool read(uint64_t offset, void* dst, size_t length) = 0;
};

/// A source over bytes already in memory (tests, fuzzing). The bytes must outlive it.
class MemorySource : public ByteSource {
  public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t size() const override { return size_; }
    bool read(uint64_t offset, void* dst, size_t length) override;

  private:
    const uint8_t* data_;
    size_t size_;
};

/// A source over a file on disk; reads on demand, so memory stays independent of file size.
class FileSource : public ByteSource {
  public:
    FileSource() = default;
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    /// Opens `path` for reading. Returns false when it does not exist or cannot be read;
    /// `exists()` then tells the two apart.
    bool open(const std::string& path);
    bool exists() const { return exists_; }
    uint64_t size() const override { return size_; }
    bool read(uint64_t offset, void* dst, size_t length) override;

  private:
    std::FILE* file_ = nullptr;
    uint64_t size_ = 0;
    bool exists_ = false;
};

} // namespace bmconv
