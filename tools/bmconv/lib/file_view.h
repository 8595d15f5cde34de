// Reading files through a window of bounded size: mapped where the system allows it, read
// into a buffer otherwise. The only place of the converter that knows the platform's file
// calls.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace bmconv {

/// A read-only file seen through one window at a time. The bytes a view gives stay valid
/// until the next view or close; memory held is one window (or the length last asked for,
/// when that is larger), whatever the file's size.
class FileView {
  public:
    enum class Opened { Ok, Missing, NotAFile, Unreadable };

    /// Holds `windows` windows' worth at a time (an archive being read is worth two: a
    /// listing of a usual archive then maps it once). A file of at most `readUpTo` bytes
    /// viewed whole is read with one read() into a buffer kept from file to file instead of
    /// mapped: for many small files that costs less than their page faults and unmapping.
    explicit FileView(size_t windows = 1, size_t readUpTo = 0)
        : windows_(windows), readUpTo_(readUpTo) {}
    ~FileView();
    FileView(const FileView&) = delete;
    FileView& operator=(const FileView&) = delete;

    /// Opens `path` for reading. Missing when nothing is there, NotAFile for a folder or
    /// another kind of non-regular file, Unreadable when it cannot be opened.
    Opened open(const std::string& path);
    void close();
    uint64_t size() const { return size_; }

    /// Bytes [offset, offset + length) of the file, or null when the range is not inside the
    /// file or cannot be read. `available` (when not null) receives how many bytes the view
    /// holds from `offset` on: at least `length`, up to the end of the window.
    const uint8_t* view(uint64_t offset, size_t length, size_t* available = nullptr);

    /// Copies bytes [offset, offset + length) into `dst`: from the window when it holds them,
    /// otherwise read straight from the file without moving the window (mapping the pages
    /// around each of many scattered headers would cost more than reading them). False when
    /// the range is not inside the file or cannot be read.
    bool copy(uint64_t offset, void* dst, size_t length);

    /// Window size and whether mapping may be used, for every view taken afterwards (tests
    /// use a small window and the reading fallback).
    static void configure(size_t windowBytes, bool allowMapping);
    static size_t windowBytes();
    static bool mappingAllowed();

  private:
    bool mapWindow(uint64_t offset, size_t length);
    bool readWindow(uint64_t offset, size_t length);
    void dropWindow();

    size_t windows_ = 1;
    size_t readUpTo_ = 0;
    std::string path_;
    uint64_t size_ = 0;
    intptr_t handle_ = -1;      // file descriptor where mapping is used
    std::FILE* file_ = nullptr; // the reading fallback
    const uint8_t* window_ = nullptr;
    uint64_t windowStart_ = 0; // file offset of window_[0]
    size_t windowLength_ = 0;
    void* mapping_ = nullptr; // start of the mapping (page aligned), when mapped
    size_t mappingLength_ = 0;
    bool mapFailed_ = false;
    std::vector<uint8_t> buffer_; // the reading fallback's window
};

/// Moves `file` to byte `offset`, also past 2 GB where `long` has 32 bits. False on failure.
bool seekFile(std::FILE* file, uint64_t offset);

/// Makes `file` write straight through: every fwrite is one system call, suited to files
/// written in large blocks.
void writeUnbuffered(std::FILE* file);

} // namespace bmconv
