// Output files written under a temporary name and moved into place when complete.
#pragma once
#include <cstdio>
#include <string>

namespace bmconv {

/// A file written under a temporary name beside its destination and renamed onto it by
/// publish(), so the destination is either the old file or the complete new one. A file
/// that is neither published nor kept is removed by abandon() or the destructor.
class TempFile {
  public:
    TempFile() = default;
    ~TempFile() { abandon(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    /// Creates a new temporary file beside `destination`; an existing file is never reused,
    /// so a stranger's file cannot be overwritten. False (errno set) when none can be made.
    bool create(const std::string& destination);
    std::FILE* file() const { return file_; }
    const std::string& tempPath() const { return tempPath_; }
    /// Closes the file; false when the close reported a write error.
    bool close();
    /// Renames the closed file onto the destination, replacing a file there. False (errno
    /// set) when the rename fails; the temporary file then stays for abandon().
    bool publish();
    /// Closes and removes the temporary file unless it was published.
    void abandon();

  private:
    std::FILE* file_ = nullptr;
    std::string destination_, tempPath_;
};

} // namespace bmconv
