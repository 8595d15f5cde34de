// Running the converter with small windows and slices, so every piece boundary it handles
// falls inside pictures, records and rows of the test data; and with the portable variants of
// the pixel loops only, as on a processor without AVX2.
#pragma once
#include "bmp_write.h"
#include "compile_bitmap.h"
#include "file_view.h"
#include "simd_dispatch.h"

#include <cstddef>

/// Runs the portable variants of the pixel loops only, for its lifetime.
class PortableVariants {
  public:
    PortableVariants() { bmconv::setPortableOnly(true); }
    ~PortableVariants() { bmconv::setPortableOnly(false); }
    PortableVariants(const PortableVariants&) = delete;
    PortableVariants& operator=(const PortableVariants&) = delete;
};

/// Sets the file window, the mapping, the slices of compiling and splitting, and whether the
/// pixel loops' portable variants alone run, for its lifetime.
class SmallPieces {
  public:
    SmallPieces(size_t window, bool mapping, size_t slice, bool portable)
        : window_(bmconv::FileView::windowBytes()), mapping_(bmconv::FileView::mappingAllowed()),
          encodeSlice_(bmconv::setEncodeSliceBytes(slice)),
          splitSlice_(bmconv::BmpFileWriter::setSliceBytes(slice)) {
        bmconv::FileView::configure(window, mapping);
        bmconv::setPortableOnly(portable);
    }
    ~SmallPieces() {
        bmconv::FileView::configure(window_, mapping_);
        bmconv::setEncodeSliceBytes(encodeSlice_);
        bmconv::BmpFileWriter::setSliceBytes(splitSlice_);
        bmconv::setPortableOnly(false);
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
    bool portable; // the pixel loops' portable variants only
};

inline const PieceSettings kPieceSettings[] = {
    {"MappedPages", 4096, true, 256, false},   // windows of one page, slices of a few rows
    {"ReadInPieces", 97, false, 61, true},     // no mapping; odd sizes that split every record
    {"OneRowSlices", 1 << 20, true, 1, false}, // a slice is one row
    {"PortableLoops", 16 << 20, true, 4 << 20, true}, // the usual sizes, without AVX2
};
