#include "bmp_write.h"

#include "byte_order.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/types.h>
#include <unistd.h>

namespace bmconv {

namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kGreyPaletteBytes = 256 * 4;
constexpr size_t kSliceBytes = 1 << 20; // rows buffered before a write

uint64_t rowBytesFor(BmpFileWriter::Kind kind, uint64_t width) {
    const uint64_t bytes = kind == BmpFileWriter::Kind::Colour24 ? 3 * width : width;
    return (bytes + 3) / 4 * 4;
}

uint32_t dataOffsetFor(BmpFileWriter::Kind kind) {
    return kFileHeaderBytes + kInfoHeaderBytes +
           (kind == BmpFileWriter::Kind::Grey8 ? kGreyPaletteBytes : 0);
}

std::string describeErrno() {
    return std::strerror(errno);
}

} // namespace

BmpFileWriter::~BmpFileWriter() {
    abandon();
}

bool BmpFileWriter::fits(Kind kind, uint32_t width, uint32_t height) {
    const uint64_t data = rowBytesFor(kind, width) * height;
    return data + dataOffsetFor(kind) <= 0xFFFFFFFFu;
}

bool BmpFileWriter::fail(const std::string& what) {
    if (error_.empty()) error_ = what;
    abandon();
    return false;
}

bool BmpFileWriter::begin(const std::string& path, Kind kind, uint32_t width, uint32_t height) {
    if (!fits(kind, width, height))
        return fail(path + ": " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels are too many for a BMP file");
    path_ = path;
    kind_ = kind;
    width_ = width;
    height_ = height;
    pixelBytes_ = kind == Kind::Colour24 ? 3 * width : width;
    rowBytes_ = uint32_t(rowBytesFor(kind, width));
    dataOffset_ = dataOffsetFor(kind);
    if (!out_.create(path))
        return fail("cannot create a file beside " + path + ": " + describeErrno());

    const uint32_t dataBytes = rowBytes_ * height;
    std::vector<uint8_t> head(dataOffset_, 0);
    head[0] = 'B';
    head[1] = 'M';
    storeLe32(&head[2], dataOffset_ + dataBytes);
    storeLe32(&head[10], dataOffset_);
    uint8_t* info = &head[kFileHeaderBytes];
    storeLe32(info, kInfoHeaderBytes);
    storeLe32(info + 4, width);
    storeLe32(info + 8, height);
    storeLe16(info + 12, 1);
    storeLe16(info + 14, kind == Kind::Colour24 ? 24 : 8);
    if (kind == Kind::Grey8) {
        storeLe32(info + 20, dataBytes);
        for (uint32_t i = 0; i < 256; ++i) {
            uint8_t* entry = &head[kFileHeaderBytes + kInfoHeaderBytes + 4 * i];
            entry[0] = entry[1] = entry[2] = uint8_t(i);
        }
    }
    if (std::fwrite(head.data(), 1, head.size(), out_.file()) != head.size())
        return fail("cannot write " + out_.tempPath() + ": " + describeErrno());

    rowsDone_ = chunkStart_ = 0;
    finished_ = false;
    const uint32_t sliceRows = uint32_t(std::max<size_t>(1, kSliceBytes / rowBytes_));
    chunkRows_ = std::min(sliceRows, height_);
    chunk_.assign(size_t(chunkRows_) * rowBytes_, kind == Kind::Colour24 ? 0xFF : 0x00);
    return true;
}

bool BmpFileWriter::addRow(const uint8_t* pixels) {
    if (!out_.file() || rowsDone_ >= height_)
        return fail(path_ + ": more rows than the picture has");
    // Rows arrive top first but the file stores them bottom up: a slice of rows fills the
    // buffer from its end, so it goes to disk as one block.
    const uint32_t slot = chunkRows_ - 1 - (rowsDone_ - chunkStart_);
    std::memcpy(&chunk_[size_t(slot) * rowBytes_], pixels, pixelBytes_);
    ++rowsDone_;
    if (rowsDone_ - chunkStart_ == chunkRows_) return flushRows();
    return true;
}

bool BmpFileWriter::flushRows() {
    const uint64_t at = dataOffset_ + uint64_t(height_ - chunkStart_ - chunkRows_) * rowBytes_;
    const size_t bytes = size_t(chunkRows_) * rowBytes_;
    if (fseeko(out_.file(), off_t(at), SEEK_SET) != 0 ||
        std::fwrite(chunk_.data(), 1, bytes, out_.file()) != bytes)
        return fail("cannot write " + out_.tempPath() + ": " + describeErrno());
    chunkStart_ += chunkRows_;
    const uint32_t sliceRows = uint32_t(chunk_.size() / rowBytes_);
    chunkRows_ = std::min(sliceRows, height_ - chunkStart_);
    return true;
}

bool BmpFileWriter::finish() {
    if (!out_.file()) return fail(path_ + ": nothing to write");
    if (rowsDone_ != height_) return fail(path_ + ": the picture is missing rows");
    if (!out_.close()) return fail("cannot write " + out_.tempPath() + ": " + describeErrno());
    std::vector<uint8_t>().swap(chunk_);
    finished_ = true;
    return true;
}

bool BmpFileWriter::publish() {
    if (!finished_ || out_.tempPath().empty()) return fail(path_ + ": the picture is not finished");
    if (!out_.publish())
        return fail("cannot rename " + out_.tempPath() + " to " + path_ + ": " + describeErrno());
    return true;
}

void BmpFileWriter::abandon() {
    out_.abandon();
}

} // namespace bmconv
