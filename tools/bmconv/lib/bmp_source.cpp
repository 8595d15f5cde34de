#include "bmp_source.h"

#include "messages.h"

#include <algorithm>

namespace bmconv {

namespace {

BmpDecodeResult failure(int code, std::string message) {
    BmpDecodeResult r;
    r.errorCode = code;
    r.message = std::move(message);
    return r;
}

} // namespace

BmpDecodeResult BmpSource::open(const std::string& path) {
    path_ = path;
    rleIndices_.clear();
    switch (file_.open(path)) {
    case FileView::Opened::Ok:
        break;
    case FileView::Opened::NotAFile:
        return failure(kBadSourceFile, path + " is a folder, not a BMP picture");
    default:
        return failure(kFileDoesNotExist, "cannot open " + path);
    }
    // The decoder never needs more than the largest picture it accepts plus its headers.
    const uint64_t limit = kMaxBmpPixels * 4 + (1u << 20);
    if (file_.size() > limit)
        return failure(kBadSourceFile, path + " is too large for a BMP picture");
    const uint8_t* head = file_.view(0, size_t(std::min<uint64_t>(file_.size(), kBmpHeadBytes)));
    if (!head) return readFailure();
    BmpDecodeResult result = parseBmpHeaders(head, file_.size(), layout_);
    if (!result.ok || !layout_.rle()) return result;
    const uint8_t* whole = file_.view(0, size_t(file_.size()));
    if (!whole) return readFailure();
    rleIndices_.assign(size_t(width()) * height(), 0);
    decodeRle(whole, size_t(file_.size()), layout_, rleIndices_.data());
    return result;
}

BmpDecodeResult BmpSource::readFailure() const {
    return failure(kBadSourceFile, "cannot read " + path_);
}

int BmpSource::bgrBytesPerPixel() const {
    return layout_.bgrRows() ? layout_.bpp / 8 : 0;
}

const uint8_t* BmpSource::fileRows(uint32_t y, uint32_t count, std::ptrdiff_t& pitch) {
    if (count == 0 || y + uint64_t(count) > height()) return nullptr;
    const uint64_t top = layout_.rowOffset(y), bottom = layout_.rowOffset(y + count - 1);
    const uint64_t first = std::min(top, bottom), last = std::max(top, bottom);
    // The last row of the file may lack its padding; the headers' check saw its pixels.
    const uint64_t end = std::min(file_.size(), last + layout_.rowBytes());
    const uint8_t* bytes = file_.view(first, size_t(end - first));
    if (!bytes) return nullptr;
    pitch =
        layout_.topDown ? std::ptrdiff_t(layout_.rowBytes()) : -std::ptrdiff_t(layout_.rowBytes());
    return bytes + (top - first);
}

const uint8_t* BmpSource::bgrRows(uint32_t y, uint32_t count, std::ptrdiff_t& pitch) {
    return bgrBytesPerPixel() ? fileRows(y, count, pitch) : nullptr;
}

bool BmpSource::convertRows(uint32_t y, uint32_t count, uint8_t* rgb, uint8_t* indices) {
    const size_t w = width();
    const bool palette = layout_.bpp <= 8;
    if (layout_.rle()) {
        const uint8_t* from = rleIndices_.data() + size_t(y) * w;
        if (indices) std::copy(from, from + size_t(count) * w, indices);
        if (rgb) indicesToRgb(layout_.palette, from, size_t(count) * w, rgb);
        return true;
    }
    if (!palette && !rgb) return true;
    std::ptrdiff_t pitch = 0;
    const uint8_t* row = fileRows(y, count, pitch);
    if (!row) return count == 0;
    if (palette && !indices) rowIndices_.resize(w);
    for (uint32_t k = 0; k < count; ++k, row += pitch) {
        uint8_t* rowRgb = rgb ? rgb + size_t(k) * w * 3 : nullptr;
        uint8_t* rowIdx = !palette  ? nullptr
                          : indices ? indices + size_t(k) * w
                                    : rowIndices_.data();
        convertRow(row, layout_, rowRgb, rowIdx);
    }
    return true;
}

} // namespace bmconv
