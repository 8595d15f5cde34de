#include "compile_bitmap.h"

#include <algorithm>

namespace bmconv {

namespace {

size_t gSliceBytes = size_t(4) << 20;
constexpr size_t kFlushBytes = size_t(1) << 20; // compressed bytes held before writing

// Encodes rows [y, y + count) of the picture into `dst`.
bool encodeSlice(BmpSource& source, BmpSource* alpha, const BitmapJob& job, uint32_t y,
                 uint32_t count, uint8_t* dst, EncodeScratch& scratch) {
    const uint32_t w = source.width();
    const uint8_t* alphaRows = nullptr;
    if (job.mode == BitmapMode::C32A && alpha) {
        scratch.alpha.resize(size_t(count) * w);
        if (!alpha->convertRows(y, count, nullptr, scratch.alpha.data())) return false;
        alphaRows = scratch.alpha.data();
    }
    if (const int bytes = source.bgrBytesPerPixel()) {
        std::ptrdiff_t pitch = 0;
        const uint8_t* rows = source.bgrRows(y, count, pitch);
        if (!rows) return false;
        encodeRows(job.mode, rows, pitch, bytes == 3 ? PixelOrder::Bgr : PixelOrder::Bgrx, w, count,
                   dst, job.c8, alphaRows, std::ptrdiff_t(w));
        return true;
    }
    scratch.rgb.resize(size_t(count) * w * 3);
    if (!source.convertRows(y, count, scratch.rgb.data(), nullptr)) return false;
    encodeRows(job.mode, scratch.rgb.data(), std::ptrdiff_t(w) * 3, PixelOrder::Rgb, w, count, dst,
               job.c8, alphaRows, std::ptrdiff_t(w));
    return true;
}

} // namespace

size_t setEncodeSliceBytes(size_t bytes) {
    const size_t previous = gSliceBytes;
    gSliceBytes = std::max<size_t>(bytes, 1);
    return previous;
}

namespace {

struct SliceGeometry {
    size_t stride;
    uint64_t total;
    uint32_t sliceRows;
};

SliceGeometry sliceGeometry(const BmpSource& source, BitmapMode mode) {
    const ModeTraits traits = traitsOf(mode);
    const uint32_t w = source.width(), h = source.height();
    const size_t stride = size_t(strideFor(traits.bpp, w));
    // A slice is bounded by the encoded rows and by the converted source rows alike.
    const size_t rowCost = std::max<size_t>({stride, size_t(w) * 3, 1});
    const uint32_t sliceRows =
        uint32_t(std::min<uint64_t>(h, std::max<size_t>(1, gSliceBytes / rowCost)));
    return {stride, uint64_t(stride) * h, sliceRows};
}

} // namespace

PrepareResult prepareBitmap(BmpSource& source, BmpSource* alpha, BitmapJob job,
                            EncodeScratch& scratch, PreparedBitmap& out) {
    const SliceGeometry g = sliceGeometry(source, job.mode);
    const uint32_t h = source.height();
    if (g.sliceRows < h) return PrepareResult::TooLarge;
    if (!scratch.compressor) scratch.compressor = std::make_unique<StreamCompressor>(0, 0);
    StreamCompressor& compressor = *scratch.compressor;
    job.record.compression = 0;
    scratch.raw.resize(size_t(g.total));
    if (!encodeSlice(source, alpha, job, 0, h, scratch.raw.data(), scratch))
        return PrepareResult::SourceUnreadable;
    out.data = scratch.raw.data();
    out.size = scratch.raw.size();
    if (job.compress) {
        const int scheme = traitsOf(job.mode).scheme;
        compressor.reset(scheme, g.total);
        compressor.push(out.data, out.size);
        if (compressor.finish()) {
            job.record.compression = uint32_t(scheme);
            out.data = compressor.output();
            out.size = compressor.outputSize();
        }
    }
    out.record = job.record;
    return PrepareResult::Ready;
}

AppendResult appendBitmap(BmpSource& source, BmpSource* alpha, BitmapJob job, ArchiveWriter& writer,
                          EncodeScratch& scratch) {
    PreparedBitmap whole;
    switch (prepareBitmap(source, alpha, job, scratch, whole)) {
    case PrepareResult::Ready:
        return writer.add(whole.record, whole.data, whole.size) ? AppendResult::Ok
                                                                : AppendResult::ArchiveUnwritable;
    case PrepareResult::SourceUnreadable:
        return AppendResult::SourceUnreadable;
    case PrepareResult::TooLarge:
        break;
    }
    const ModeTraits traits = traitsOf(job.mode);
    const uint32_t h = source.height();
    const SliceGeometry g = sliceGeometry(source, job.mode);
    const size_t stride = g.stride;
    const uint64_t total = g.total;
    const uint32_t sliceRows = g.sliceRows;
    if (!scratch.compressor) scratch.compressor = std::make_unique<StreamCompressor>(0, 0);
    StreamCompressor& compressor = *scratch.compressor;
    job.record.compression = 0;

    scratch.raw.resize(size_t(sliceRows) * stride);
    if (!writer.beginBitmap()) return AppendResult::ArchiveUnwritable;
    if (job.compress) {
        compressor.reset(traits.scheme, total);
        for (uint32_t y = 0; y < h; y += sliceRows) {
            const uint32_t count = std::min(sliceRows, h - y);
            if (!encodeSlice(source, alpha, job, y, count, scratch.raw.data(), scratch))
                return AppendResult::SourceUnreadable;
            if (!compressor.push(scratch.raw.data(), size_t(count) * stride)) break;
            if (compressor.outputSize() >= kFlushBytes) {
                if (!writer.appendData(compressor.output(), compressor.outputSize()))
                    return AppendResult::ArchiveUnwritable;
                compressor.dropOutput();
            }
        }
        if (compressor.finish()) {
            if (!writer.appendData(compressor.output(), compressor.outputSize()))
                return AppendResult::ArchiveUnwritable;
            job.record.compression = uint32_t(traits.scheme);
            return writer.endBitmap(job.record) ? AppendResult::Ok
                                                : AppendResult::ArchiveUnwritable;
        }
        // Stored raw after all: the rows are encoded again over what was written.
        if (!writer.restartData()) return AppendResult::ArchiveUnwritable;
    }
    for (uint32_t y = 0; y < h; y += sliceRows) {
        const uint32_t count = std::min(sliceRows, h - y);
        if (!encodeSlice(source, alpha, job, y, count, scratch.raw.data(), scratch))
            return AppendResult::SourceUnreadable;
        if (!writer.appendData(scratch.raw.data(), size_t(count) * stride))
            return AppendResult::ArchiveUnwritable;
    }
    return writer.endBitmap(job.record) ? AppendResult::Ok : AppendResult::ArchiveUnwritable;
}

} // namespace bmconv
