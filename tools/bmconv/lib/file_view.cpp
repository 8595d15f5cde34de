#include "file_view.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace bmconv {

namespace {

size_t gWindowBytes = size_t(16) << 20;
bool gAllowMapping = true;

// An empty range needs a valid pointer too.
const uint8_t kNothing[1] = {0};

#ifndef _WIN32
size_t pageSize() {
    static const size_t size = size_t(sysconf(_SC_PAGESIZE) > 0 ? sysconf(_SC_PAGESIZE) : 4096);
    return size;
}
#endif

} // namespace

void FileView::configure(size_t windowBytes, bool allowMapping) {
    gWindowBytes = std::max<size_t>(windowBytes, 1);
    gAllowMapping = allowMapping;
}

size_t FileView::windowBytes() {
    return gWindowBytes;
}

bool FileView::mappingAllowed() {
    return gAllowMapping;
}

FileView::~FileView() {
    close();
}

FileView::Opened FileView::open(const std::string& path) {
    close();
    path_ = path;
#ifndef _WIN32
    // Opened first and asked about after, which walks the path once. Without blocking: a
    // named pipe must not hold the converter up before it is found not to be a file.
    struct stat st {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (::stat(path.c_str(), &st) != 0) return Opened::Missing;
        return S_ISREG(st.st_mode) ? Opened::Unreadable : Opened::NotAFile;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const Opened why =
            S_ISREG(st.st_mode) || st.st_mode == 0 ? Opened::Unreadable : Opened::NotAFile;
        ::close(fd);
        return why;
    }
    handle_ = fd;
    size_ = uint64_t(st.st_size);
#else
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) return Opened::Missing;
    if (!std::filesystem::is_regular_file(status)) return Opened::NotAFile;
    const uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) return Opened::Unreadable;
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return Opened::Unreadable;
    size_ = uint64_t(size);
#endif
    return Opened::Ok;
}

void FileView::close() {
    dropWindow();
#ifndef _WIN32
    if (handle_ >= 0) ::close(int(handle_));
#endif
    handle_ = -1;
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (buffer_.capacity() > readUpTo_) std::vector<uint8_t>().swap(buffer_);
    size_ = 0;
    mapFailed_ = false;
}

void FileView::dropWindow() {
#ifndef _WIN32
    if (mapping_) ::munmap(mapping_, mappingLength_);
#endif
    mapping_ = nullptr;
    mappingLength_ = 0;
    window_ = nullptr;
    windowStart_ = 0;
    windowLength_ = 0;
}

const uint8_t* FileView::view(uint64_t offset, size_t length, size_t* available) {
    if (offset > size_ || length > size_ - offset) return nullptr;
    const bool inside =
        window_ && offset >= windowStart_ && offset - windowStart_ + length <= windowLength_;
    if (!inside) {
        if (length == 0) {
            if (available) *available = 0;
            return kNothing;
        }
        // A file no larger than the window is held whole, so it is mapped or read once.
        const uint64_t most = uint64_t(gWindowBytes) * windows_;
        const uint64_t start = size_ <= most ? 0 : offset;
        const uint64_t end =
            size_ <= most ? size_ : std::min(size_, offset + std::max<uint64_t>(length, most));
        const size_t bytes = size_t(end - start);
        dropWindow();
        bool ok = false;
        const bool small = start == 0 && bytes == size_ && size_ <= readUpTo_;
        if (gAllowMapping && !mapFailed_ && !small) ok = mapWindow(start, bytes);
        if (!ok) ok = readWindow(start, bytes);
        if (!ok) return nullptr;
    }
    const size_t at = size_t(offset - windowStart_);
    if (available) *available = windowLength_ - at;
    return window_ + at;
}

bool FileView::copy(uint64_t offset, void* dst, size_t length) {
    if (offset > size_ || length > size_ - offset) return false;
    if (length == 0) return true;
    if (window_ && offset >= windowStart_ && offset - windowStart_ + length <= windowLength_) {
        std::memcpy(dst, window_ + (offset - windowStart_), length);
        return true;
    }
#ifndef _WIN32
    if (handle_ >= 0) {
        uint8_t* out = static_cast<uint8_t*>(dst);
        while (length > 0) {
            const ssize_t got = ::pread(int(handle_), out, length, off_t(offset));
            if (got < 0 && errno == EINTR) continue; // a signal came first: ask again
            if (got <= 0) return false;
            out += got;
            offset += uint64_t(got);
            length -= size_t(got);
        }
        return true;
    }
#endif
    if (!file_) {
        file_ = std::fopen(path_.c_str(), "rb");
        if (!file_) return false;
    }
    return seekFile(file_, offset) && std::fread(dst, 1, length, file_) == length;
}

bool FileView::mapWindow(uint64_t offset, size_t length) {
#ifndef _WIN32
    if (handle_ < 0) return false;
    const uint64_t aligned = offset / pageSize() * pageSize();
    const size_t lead = size_t(offset - aligned);
    void* p = ::mmap(nullptr, length + lead, PROT_READ, MAP_PRIVATE, int(handle_), off_t(aligned));
    if (p == MAP_FAILED) {
        mapFailed_ = true; // a file system without mapping: read from now on
        return false;
    }
    mapping_ = p;
    mappingLength_ = length + lead;
    window_ = static_cast<const uint8_t*>(p) + lead;
    windowStart_ = offset;
    windowLength_ = length;
    return true;
#else
    (void)offset;
    (void)length;
    return false;
#endif
}

bool FileView::readWindow(uint64_t offset, size_t length) {
#ifndef _WIN32
    if (handle_ >= 0) {
        buffer_.resize(length);
        window_ = nullptr;
        if (!copy(offset, buffer_.data(), length)) return false;
        window_ = buffer_.data();
        windowStart_ = offset;
        windowLength_ = length;
        return true;
    }
#endif
    if (!file_) {
        file_ = std::fopen(path_.c_str(), "rb");
        if (!file_) return false;
    }
    buffer_.resize(length);
    if (!seekFile(file_, offset) || std::fread(buffer_.data(), 1, length, file_) != length)
        return false;
    window_ = buffer_.data();
    windowStart_ = offset;
    windowLength_ = length;
    return true;
}

bool seekFile(std::FILE* file, uint64_t offset) {
#ifdef _WIN32
    return _fseeki64(file, int64_t(offset), SEEK_SET) == 0;
#else
    return fseeko(file, off_t(offset), SEEK_SET) == 0;
#endif
}

void writeUnbuffered(std::FILE* file) {
    std::setvbuf(file, nullptr, _IONBF, 0);
}

} // namespace bmconv
