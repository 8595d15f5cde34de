#include "bmp_write.h"

#include "byte_order.h"
#include "file_view.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace bmconv {

namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kGreyPaletteBytes = 256 * 4;
size_t gSliceBytes = size_t(4) << 20; // rows (and headers) buffered before a write

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

// File header, info header and (for masks) the grey palette, as the SDK converter writes
// them. A mask says it uses all 256 colours of its palette.
void writeHeaders(uint8_t* head, BmpFileWriter::Kind kind, uint32_t width, uint32_t height,
                  uint32_t dataBytes) {
    const uint32_t dataOffset = dataOffsetFor(kind);
    std::memset(head, 0, kFileHeaderBytes + kInfoHeaderBytes);
    head[0] = 'B';
    head[1] = 'M';
    storeLe32(&head[2], dataOffset + dataBytes);
    storeLe32(&head[10], dataOffset);
    uint8_t* info = &head[kFileHeaderBytes];
    storeLe32(info, kInfoHeaderBytes);
    storeLe32(info + 4, width);
    storeLe32(info + 8, height);
    storeLe16(info + 12, 1);
    storeLe16(info + 14, kind == BmpFileWriter::Kind::Colour24 ? 24 : 8);
    if (kind == BmpFileWriter::Kind::Grey8) {
        storeLe32(info + 20, dataBytes);
        storeLe32(info + 32, 256);
        for (uint32_t i = 0; i < 256; ++i) {
            uint8_t* entry = &head[kFileHeaderBytes + kInfoHeaderBytes + 4 * i];
            entry[0] = entry[1] = entry[2] = uint8_t(i);
            entry[3] = 0;
        }
    }
}

} // namespace

BmpFileWriter::~BmpFileWriter() {
    abandon();
}

size_t BmpFileWriter::setSliceBytes(size_t bytes) {
    const size_t previous = gSliceBytes;
    gSliceBytes = std::max<size_t>(bytes, 1);
    return previous;
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

bool BmpFileWriter::begin(const std::string& path, Kind kind, uint32_t width, uint32_t height,
                          std::vector<uint8_t>& buffer) {
    if (!fits(kind, width, height))
        return fail(path + ": " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels are too many for a BMP file");
    path_ = path;
    kind_ = kind;
    height_ = height;
    pixelBytes_ = kind == Kind::Colour24 ? 3 * width : width;
    rowBytes_ = uint32_t(rowBytesFor(kind, width));
    dataOffset_ = dataOffsetFor(kind);
    if (!out_.create(path))
        return fail("cannot create a file beside " + path + ": " + describeErrno());
    writeUnbuffered(out_.file());
    buffer_ = &buffer;

    const uint32_t dataBytes = rowBytes_ * height;
    rowsDone_ = chunkStart_ = 0;
    finished_ = false;
    whole_ = uint64_t(dataOffset_) + dataBytes <= gSliceBytes;
    if (whole_) {
        sliceRows_ = chunkRows_ = height_;
        bufferBytes_ = size_t(dataOffset_) + dataBytes;
        if (buffer_->size() < bufferBytes_) buffer_->resize(bufferBytes_);
        writeHeaders(buffer_->data(), kind, width, height, dataBytes);
        return true;
    }
    uint8_t head[kFileHeaderBytes + kInfoHeaderBytes + kGreyPaletteBytes];
    writeHeaders(head, kind, width, height, dataBytes);
    if (std::fwrite(head, 1, dataOffset_, out_.file()) != dataOffset_)
        return fail("cannot write " + out_.tempPath() + ": " + describeErrno());
    sliceRows_ = uint32_t(std::max<size_t>(1, gSliceBytes / std::max<uint32_t>(rowBytes_, 1)));
    chunkRows_ = std::min(sliceRows_, height_);
    bufferBytes_ = size_t(chunkRows_) * rowBytes_;
    if (buffer_->size() < bufferBytes_) buffer_->resize(bufferBytes_);
    return true;
}

uint8_t* BmpFileWriter::rowsStart() const {
    return buffer_->data() + (whole_ ? dataOffset_ : 0);
}

uint8_t* BmpFileWriter::nextRow() {
    if (!buffer_ || rowsDone_ >= height_) return nullptr;
    // Rows arrive top first but the file stores them bottom up: a slice of rows fills the
    // buffer from its end, so it goes to disk as one block.
    const uint32_t slot = chunkRows_ - 1 - (rowsDone_ - chunkStart_);
    return rowsStart() + size_t(slot) * rowBytes_;
}

bool BmpFileWriter::rowDone() {
    uint8_t* row = nextRow();
    if (!out_.file() || !row) return fail(path_ + ": more rows than the picture has");
    std::memset(row + pixelBytes_, kind_ == Kind::Colour24 ? 0xFF : 0x00, rowBytes_ - pixelBytes_);
    ++rowsDone_;
    if (!whole_ && rowsDone_ - chunkStart_ == chunkRows_) return flushRows();
    return true;
}

bool BmpFileWriter::flushRows() {
    const uint64_t at = dataOffset_ + uint64_t(height_ - chunkStart_ - chunkRows_) * rowBytes_;
    const size_t bytes = size_t(chunkRows_) * rowBytes_;
    if (!seekFile(out_.file(), at) || std::fwrite(buffer_->data(), 1, bytes, out_.file()) != bytes)
        return fail("cannot write " + out_.tempPath() + ": " + describeErrno());
    chunkStart_ += chunkRows_;
    chunkRows_ = std::min(sliceRows_, height_ - chunkStart_);
    return true;
}

bool BmpFileWriter::finish() {
    if (!out_.file()) return fail(path_ + ": nothing to write");
    if (rowsDone_ != height_) return fail(path_ + ": the picture is missing rows");
    if (whole_ && std::fwrite(buffer_->data(), 1, bufferBytes_, out_.file()) != bufferBytes_)
        return fail("cannot write " + out_.tempPath() + ": " + describeErrno());
    if (!out_.close()) return fail("cannot write " + out_.tempPath() + ": " + describeErrno());
    buffer_ = nullptr;
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
    buffer_ = nullptr;
}

} // namespace bmconv
