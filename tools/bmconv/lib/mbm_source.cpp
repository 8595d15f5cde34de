#include "mbm_source.h"

#include <cstring>
#include <sys/stat.h>

namespace bmconv {

bool MemorySource::read(uint64_t offset, void* dst, size_t length) {
    if (offset > size_ || length > size_ - offset) return false;
    if (length > 0) std::memcpy(dst, data_ + offset, length);
    return true;
}

FileSource::~FileSource() {
    if (file_) std::fclose(file_);
}

bool FileSource::open(const std::string& path) {
    struct stat st {};
    exists_ = ::stat(path.c_str(), &st) == 0;
    // A folder opens fine with fopen on some systems; it is not an archive.
    if (!exists_ || !S_ISREG(st.st_mode)) return false;
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return false;
    size_ = uint64_t(st.st_size);
    return true;
}

bool FileSource::read(uint64_t offset, void* dst, size_t length) {
    if (!file_ || offset > size_ || length > size_ - offset) return false;
    if (length == 0) return true;
    if (fseeko(file_, off_t(offset), SEEK_SET) != 0) return false;
    return std::fread(dst, 1, length, file_) == length;
}

} // namespace bmconv
