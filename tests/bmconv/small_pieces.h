// Running the converter with small windows and slices, so every piece boundary it handles
// falls inside pictures, records and rows of the test data.
#pragma once
#include "bmp_write.h"
#include "compile_bitmap.h"
#include "file_view.h"

#include <cstddef>

/// Sets the file window, the mapping, and the slices of compiling and splitting for its
/// lifetime.
class SmallPieces {
  public:
    SmallPieces(size_t window, bool mapping, size_t slice)
        : window_(bmconv::FileView::windowBytes()), mapping_(bmconv::FileView::mappingAllowed()),
          encodeSlice_(bmconv::setEncodeSliceBytes(slice)),
          splitSlice_(bmconv::BmpFileWriter::setSliceBytes(slice)) {
        bmconv::FileView::configure(window, mapping);
    }
    ~SmallPieces() {
        bmconv::FileView::configure(window_, mapping_);
        bmconv::setEncodeSliceBytes(encodeSlice_);
        bmconv::BmpFileWriter::setSliceBytes(splitSlice_);
    }
    SmallPieces(const SmallPieces&) = delete;
    SmallPieces& operator=(const SmallPieces&) = delete;

  private:
    size_t window_;
    bool mapping_;
    size_t encodeSlice_, splitSlice_;
};

/// The settings the tests run the reference corpus with.
struct PieceSettings {
    const char* name;
    size_t window;
    bool mapping;
    size_t slice;
};

inline const PieceSettings kPieceSettings[] = {
    {"MappedPages", 4096, true, 256},   // windows of one page, slices of a few rows
    {"ReadInPieces", 97, false, 61},    // no mapping; odd sizes that split every record
    {"OneRowSlices", 1 << 20, true, 1}, // a slice is one row
};
