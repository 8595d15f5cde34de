#include "mbm_decode.h"

#include "mbm_decompress.h"
#include "messages.h"

#include <algorithm>
#include <unordered_set>

namespace bmconv {

namespace {

constexpr size_t kCheckSliceBytes = 12 * 5461; // a multiple of every value size (1 to 4)

ReadStatus decodeFailure(size_t ordinal, const std::string& problem) {
    return ReadStatus::fail(kDecompressionError,
                            "bitmap " + std::to_string(ordinal) + ": " + problem);
}

} // namespace

ReadStatus decodeBitmap(ArchiveReader& reader, const BitmapInfo& info, size_t ordinal,
                        const RowSink& onRow) {
    std::vector<uint8_t> data;
    ReadStatus status = reader.readData(info, data);
    if (!status.ok()) return status;
    StreamDecoder decoder(info.compression, data.data(), data.size(), info.bufferSize());
    if (onRow) {
        // The stride is bounded by the buffer size, which the header check tied to the
        // size of the stored data.
        std::vector<uint8_t> row(size_t(info.stride));
        for (int32_t y = 0; y < info.height; ++y) {
            if (!decoder.read(row.data(), row.size()))
                return decodeFailure(ordinal, decoder.error());
            if (!onRow(row.data())) return ReadStatus::fail(kBadDestinationFile, "");
        }
    } else {
        std::vector<uint8_t> slice(size_t(std::min<uint64_t>(kCheckSliceBytes, info.bufferSize())));
        for (uint64_t left = info.bufferSize(); left > 0;) {
            const size_t take = size_t(std::min<uint64_t>(left, slice.size()));
            if (!decoder.read(slice.data(), take)) return decodeFailure(ordinal, decoder.error());
            left -= take;
        }
    }
    if (!decoder.finish()) return decodeFailure(ordinal, decoder.error());
    return {};
}

ReadStatus checkArchive(ArchiveReader& reader, size_t decodeCount) {
    std::unordered_set<uint32_t> seen;
    uint64_t stored = 0;
    for (size_t i = 0; i < reader.count(); ++i) {
        BitmapInfo info;
        ReadStatus status = reader.bitmap(i, info);
        if (!status.ok()) return status;
        if (!seen.insert(reader.offsetOf(i)).second) continue; // the same bitmap again
        // Bitmaps that do not overlap hold no more data than the file: this bounds the
        // work of decoding them all by the size of the file.
        stored += info.dataLength;
        if (stored > reader.fileSize()) {
            return ReadStatus::fail(kBadSourceFile, "bitmap " + std::to_string(i + 1) +
                                                        ": its data overlaps another bitmap's");
        }
        if (i >= decodeCount) continue;
        status = decodeBitmap(reader, info, i + 1, RowSink());
        if (!status.ok()) return status;
    }
    return {};
}

} // namespace bmconv
