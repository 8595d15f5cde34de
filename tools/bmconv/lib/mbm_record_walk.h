// A quick check that stored bitmap data is sound, reading the records' control bytes only.
#pragma once
#include <cstddef>
#include <cstdint>

namespace bmconv {

/// One bitmap's stored data and what it must decode to.
struct StoredData {
    const uint8_t* data = nullptr;
    size_t length = 0;
    uint32_t compression = 0; ///< 0 to 6, as in the bitmap header
    uint64_t bufferSize = 0;  ///< bytes of the pixel buffer the data must fill
};

/// True when the records of every item tile its data exactly and fill exactly its pixel
/// buffer: the verdict the full decoder reaches, without its messages. False when one does
/// not, or holds more than 16 MB of data (a caller that gets false decodes again to name
/// the problem). Several items are walked at once, so their record chains overlap in the
/// processor.
bool recordsFit(const StoredData* items, size_t count);

} // namespace bmconv
