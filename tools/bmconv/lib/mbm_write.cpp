#include "mbm_write.h"

#include "byte_order.h"
#include "file_view.h"
#include "mbm_layout.h"

#include <algorithm>
#include <cstdio>

namespace bmconv {
namespace {

constexpr uint32_t kFileStoreUids[4] = {kFileStoreUid1, kFileStoreUid2, 0, kFileStoreChecksum};
constexpr uint64_t kMaxArchiveSize = 0xFFFFFFFFull;

/// The 40-byte bitmap header for `dataSize` bytes of pixel data.
void encodeHeader(const BitmapRecord& r, uint32_t dataSize, uint8_t* out) {
    const uint32_t fields[10] = {kHeaderLength + dataSize,
                                 kHeaderLength,
                                 uint32_t(r.width),
                                 uint32_t(r.height),
                                 uint32_t(r.twipsWidth),
                                 uint32_t(r.twipsHeight),
                                 r.bpp,
                                 r.colour,
                                 0,
                                 r.compression};
    for (int i = 0; i < 10; ++i)
        storeLe32(out + 4 * i, fields[i]);
}

} // namespace

ArchiveWriter::~ArchiveWriter() {
    abandon();
}

bool ArchiveWriter::open(const std::string& destination, StoreKind kind, size_t count) {
    abandon();
    kind_ = kind;
    count_ = count;
    offsets_.clear();
    if (kind != StoreKind::File && 8 + 4 * uint64_t(count) > kMaxArchiveSize) return false;
    if (!out_.create(destination)) return false;
    // Few large writes. The C library ignores the size asked for unless it is also given the
    // buffer, and would write every bitmap in two or three calls of its own block size.
    buffer_.resize(size_t(1) << 20);
    std::setvbuf(out_.file(), buffer_.data(), _IOFBF, buffer_.size());
    position_ = 0;
    if (kind == StoreKind::File) {
        for (uint32_t uid : kFileStoreUids)
            if (!writeWord(uid)) return false;
        return writeWord(0); // trailer offset, filled in by commit()
    }
    if (!writeWord(kRomImageUid) || !writeWord(uint32_t(count))) return false;
    for (size_t i = 0; i < count; ++i)
        if (!writeWord(0)) return false;
    return true;
}

// The ROM record's lead words and bitmap header, or the file store's bitmap header, for
// `dataSize` bytes of data. Returns its length.
size_t ArchiveWriter::recordHead(const BitmapRecord& record, uint64_t dataSize,
                                 uint8_t* out) const {
    if (kind_ == StoreKind::File) {
        encodeHeader(record, uint32_t(dataSize), out);
        return kHeaderLength;
    }
    const uint32_t lead[5] = {kRomRecordUid, record.romMode, 0, 0, record.stride};
    for (int i = 0; i < 5; ++i)
        storeLe32(out + 4 * i, lead[i]);
    encodeHeader(record, uint32_t(dataSize), out + 20);
    storeLe32(out + 60, 0xFFFFFFFF);
    storeLe32(out + 64, kRomRecordLength);
    return kRomRecordLength;
}

// True when a bitmap of `dataSize` bytes, its header and padding included, keeps the
// archive (and the table still to come) within 4 GB.
bool ArchiveWriter::fits(uint64_t dataSize) const {
    const uint64_t recordSize = bitmapBytes(kind_ != StoreKind::File, dataSize);
    const uint64_t start = inBitmap_ ? headAt_ : position_;
    return start + recordSize + 4 + 4 * uint64_t(count_) <= kMaxArchiveSize;
}

bool ArchiveWriter::add(const BitmapRecord& record, const uint8_t* data, size_t size) {
    if (!out_.file() || inBitmap_ || offsets_.size() >= count_ || !fits(size)) return false;
    offsets_.push_back(uint32_t(position_));
    uint8_t head[kRomRecordLength];
    if (!writeBytes(head, recordHead(record, size, head))) return false;
    if (size > 0 && !writeBytes(data, size)) return false;
    static const uint8_t fill[3] = {0xFF, 0xFF, 0xFF};
    const size_t padding = kind_ != StoreKind::File ? (4 - size % 4) % 4 : 0;
    return writeBytes(fill, padding);
}

bool ArchiveWriter::beginBitmap() {
    if (!out_.file() || inBitmap_ || offsets_.size() >= count_) return false;
    static const uint8_t placeholder[kRomRecordLength] = {};
    headAt_ = position_;
    if (!writeBytes(placeholder, kind_ == StoreKind::File ? kHeaderLength : kRomRecordLength))
        return false;
    dataAt_ = highWater_ = position_;
    inBitmap_ = true;
    return true;
}

bool ArchiveWriter::appendData(const uint8_t* data, size_t size) {
    if (!inBitmap_ || !writeBytes(data, size)) return false;
    highWater_ = std::max(highWater_, position_);
    return position_ <= kMaxArchiveSize;
}

bool ArchiveWriter::restartData() {
    if (!inBitmap_ || !seekFile(out_.file(), dataAt_)) return false;
    position_ = dataAt_;
    return true;
}

bool ArchiveWriter::endBitmap(const BitmapRecord& record) {
    // Data given again after a restart always cover what the first attempt wrote, so no
    // stale byte stays behind.
    if (!inBitmap_ || position_ < highWater_) return false;
    const uint64_t size = position_ - dataAt_;
    if (!fits(size)) return false;
    static const uint8_t fill[3] = {0xFF, 0xFF, 0xFF};
    if (kind_ != StoreKind::File && !writeBytes(fill, size_t((4 - size % 4) % 4))) return false;
    const uint64_t end = position_;
    uint8_t head[kRomRecordLength];
    const size_t headLength = recordHead(record, size, head);
    if (!seekFile(out_.file(), headAt_) ||
        std::fwrite(head, 1, headLength, out_.file()) != headLength || !seekFile(out_.file(), end))
        return false;
    offsets_.push_back(uint32_t(headAt_));
    inBitmap_ = false;
    return true;
}

bool ArchiveWriter::commit() {
    if (!out_.file() || inBitmap_ || offsets_.size() != count_) return false;
    bool ok;
    if (kind_ == StoreKind::File) {
        const uint32_t trailer = uint32_t(position_);
        ok = writeWord(uint32_t(offsets_.size()));
        for (uint32_t offset : offsets_)
            ok = ok && writeWord(offset);
        ok = ok && writeAt(16, {trailer});
    } else {
        ok = writeAt(8, offsets_);
    }
    ok = out_.close() && ok && out_.publish();
    if (!ok) out_.abandon();
    return ok;
}

void ArchiveWriter::abandon() {
    out_.abandon();
}

bool ArchiveWriter::writeBytes(const void* data, size_t size) {
    if (size == 0) return true;
    if (std::fwrite(data, 1, size, out_.file()) != size) return false;
    position_ += size;
    return true;
}

bool ArchiveWriter::writeWord(uint32_t value) {
    uint8_t bytes[4];
    storeLe32(bytes, value);
    return writeBytes(bytes, 4);
}

bool ArchiveWriter::writeAt(uint64_t offset, const std::vector<uint32_t>& words) {
    if (!seekFile(out_.file(), offset)) return false;
    for (uint32_t word : words)
        if (!writeWord(word)) return false;
    return true;
}

} // namespace bmconv
