#include "mbm_decode.h"

#include "mbm_decompress.h"
#include "mbm_record_walk.h"
#include "messages.h"
#include "walk_helper.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace bmconv {

namespace {

constexpr size_t kDecodeSliceBytes = size_t(1) << 20; // rows decoded at a time

ReadStatus decodeFailure(size_t ordinal, const StreamDecoder& decoder) {
    return ReadStatus::fail(decoder.readFailed() ? kBadSourceFile : kDecompressionError,
                            "bitmap " + std::to_string(ordinal) + ": " + decoder.error());
}

} // namespace

ReadStatus decodeBitmap(ArchiveReader& reader, const BitmapInfo& info, size_t ordinal,
                        const RowSink& onRow) {
    std::vector<uint8_t> scratch;
    return decodeBitmap(reader, info, ordinal, onRow, scratch);
}

ReadStatus decodeBitmap(ArchiveReader& reader, const BitmapInfo& info, size_t ordinal,
                        const RowSink& onRow, std::vector<uint8_t>& scratch) {
    StreamDecoder decoder(info.compression, reader.source(), info.dataOffset, info.dataLength,
                          info.bufferSize());
    if (onRow) {
        // Rows are decoded a slice at a time: long reads let the decoder take most records
        // without checking each. The stride is bounded by the buffer size, which the header
        // check tied to the size of the stored data.
        const size_t stride = size_t(info.stride);
        const uint32_t height = uint32_t(info.height);
        const uint32_t sliceRows =
            uint32_t(std::min<uint64_t>(height, std::max<uint64_t>(1, kDecodeSliceBytes / stride)));
        if (scratch.size() < size_t(sliceRows) * stride) scratch.resize(size_t(sliceRows) * stride);
        for (uint32_t y = 0; y < height; y += sliceRows) {
            const uint32_t rows = std::min(sliceRows, height - y);
            if (!decoder.read(scratch.data(), size_t(rows) * stride))
                return decodeFailure(ordinal, decoder);
            for (uint32_t k = 0; k < rows; ++k)
                if (!onRow(scratch.data() + size_t(k) * stride))
                    return ReadStatus::fail(kBadDestinationFile, "");
        }
    } else if (!decoder.skip(info.bufferSize())) {
        return decodeFailure(ordinal, decoder);
    }
    if (!decoder.finish()) return decodeFailure(ordinal, decoder);
    return {};
}

namespace {

// True for each table entry that names its bitmap first (a later entry may repeat an offset).
// Four bytes a bitmap while it works and one bit a bitmap after.
std::vector<bool> firstMentions(const ArchiveReader& reader) {
    const size_t count = reader.count();
    std::vector<uint32_t> order(count);
    for (size_t i = 0; i < count; ++i)
        order[i] = uint32_t(i);
    std::sort(order.begin(), order.end(), [&reader](uint32_t a, uint32_t b) {
        const uint32_t oa = reader.offsetOf(a), ob = reader.offsetOf(b);
        return oa != ob ? oa < ob : a < b;
    });
    std::vector<bool> first(count, false);
    for (size_t k = 0; k < count; ++k)
        first[order[k]] = k == 0 || reader.offsetOf(order[k]) != reader.offsetOf(order[k - 1]);
    return first;
}

} // namespace

namespace {

constexpr size_t kGroupSize = 64;
constexpr uint64_t kHelpedBytes = uint64_t(4) << 20;

// Bitmaps whose data wait for their check, in archive order.
struct Waiting {
    size_t index;
    BitmapInfo info;
};

// Checks the data of the waiting bitmaps: all at once with the quick walk when their data
// fit one view; where that finds a fault (or the data do not fit), one by one with the
// decoder, which names the first fault exactly.
ReadStatus checkWaiting(ArchiveReader& reader, std::vector<Waiting>& waiting, WalkHelper* helper) {
    if (waiting.empty()) return {};
    uint64_t start = UINT64_MAX, end = 0;
    for (const Waiting& w : waiting) {
        start = std::min(start, w.info.dataOffset);
        end = std::max(end, w.info.dataOffset + w.info.dataLength);
    }
    bool sound = false;
    if (end - start <= FileView::windowBytes()) {
        if (const uint8_t* bytes = reader.source().view(start, size_t(end - start))) {
            std::vector<StoredData> items;
            for (const Waiting& w : waiting)
                items.push_back({bytes + (w.info.dataOffset - start), w.info.dataLength,
                                 w.info.compression, w.info.bufferSize()});
            sound = helper ? helper->fit(items.data(), items.size())
                           : recordsFit(items.data(), items.size());
        }
    }
    for (size_t k = 0; k < waiting.size() && !sound; ++k) {
        const ReadStatus status =
            decodeBitmap(reader, waiting[k].info, waiting[k].index + 1, RowSink());
        if (!status.ok()) return status;
    }
    waiting.clear();
    return {};
}

// A fault found in a header is reported after any fault in the data of earlier bitmaps.
ReadStatus afterWaiting(ArchiveReader& reader, std::vector<Waiting>& waiting, WalkHelper* helper,
                        ReadStatus status) {
    ReadStatus earlier = checkWaiting(reader, waiting, helper);
    return earlier.ok() ? status : earlier;
}

} // namespace

ReadStatus checkArchive(ArchiveReader& reader, size_t decodeCount) {
    const std::vector<bool> first = firstMentions(reader);
    // A second thread pays for itself from a few megabytes of data to walk.
    std::unique_ptr<WalkHelper> helper;
    if (decodeCount > 0 && reader.fileSize() >= kHelpedBytes)
        helper = std::make_unique<WalkHelper>();
    uint64_t stored = 0;
    std::vector<Waiting> waiting;
    uint64_t groupStart = UINT64_MAX, groupEnd = 0;
    for (size_t i = 0; i < reader.count(); ++i) {
        BitmapInfo info;
        ReadStatus status = reader.bitmap(i, info);
        if (!status.ok()) return afterWaiting(reader, waiting, helper.get(), status);
        if (!first[i]) continue; // the same bitmap again
        // Bitmaps that do not overlap hold no more data than the file: this bounds the
        // work of decoding them all by the size of the file.
        stored += info.dataLength;
        if (stored > reader.fileSize()) {
            return afterWaiting(
                reader, waiting, helper.get(),
                ReadStatus::fail(kBadSourceFile, "bitmap " + std::to_string(i + 1) +
                                                     ": its data overlaps another bitmap's"));
        }
        // Uncompressed data was found exactly as long as its buffer: nothing to decode.
        if (i >= decodeCount || info.compression == kNoCompression) continue;
        const uint64_t start = std::min(groupStart, info.dataOffset);
        const uint64_t end = std::max(groupEnd, info.dataOffset + info.dataLength);
        if (waiting.size() == kGroupSize || end - start > FileView::windowBytes()) {
            status = checkWaiting(reader, waiting, helper.get());
            if (!status.ok()) return status;
            groupStart = UINT64_MAX;
            groupEnd = 0;
        }
        waiting.push_back({i, info});
        groupStart = std::min(groupStart, info.dataOffset);
        groupEnd = std::max(groupEnd, info.dataOffset + info.dataLength);
    }
    return checkWaiting(reader, waiting, helper.get());
}

} // namespace bmconv
