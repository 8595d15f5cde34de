#include "mbm_source.h"

#include <algorithm>
#include <cstring>

namespace bmconv {

bool ByteSource::read(uint64_t offset, void* dst, size_t length) {
    // In pieces no larger than a window, so a large read never maps more than that.
    if (offset > size() || length > size() - offset) return false;
    uint8_t* out = static_cast<uint8_t*>(dst);
    const size_t piece = std::max<size_t>(FileView::windowBytes(), 1);
    while (length > 0) {
        const size_t take = std::min(length, piece);
        const uint8_t* bytes = view(offset, take);
        if (!bytes) return false;
        std::memcpy(out, bytes, take);
        out += take;
        offset += take;
        length -= take;
    }
    return true;
}

const uint8_t* MemorySource::view(uint64_t offset, size_t length, size_t* available) {
    if (offset > size_ || length > size_ - offset) return nullptr;
    if (available) *available = size_t(size_ - offset);
    return data_ + offset;
}

bool FileSource::open(const std::string& path) {
    const FileView::Opened opened = file_.open(path);
    exists_ = opened != FileView::Opened::Missing;
    return opened == FileView::Opened::Ok;
}

bool FileSource::read(uint64_t offset, void* dst, size_t length) {
    return file_.copy(offset, dst, length);
}

const uint8_t* FileSource::view(uint64_t offset, size_t length, size_t* available) {
    return file_.view(offset, length, available);
}

} // namespace bmconv
