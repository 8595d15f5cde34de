// Fuzz target: the BMP decoder on arbitrary bytes. It must decode or refuse, never read
// outside the input, and a decoded picture must hold exactly width x height pixels.
#include "bmp_read.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const bmconv::BmpDecodeResult result = bmconv::decodeBmp(data, size);
    if (!result.ok) {
        if (result.message.empty() || result.errorCode == 0) __builtin_trap();
        return 0;
    }
    const bmconv::BmpImage& image = result.image;
    if (image.width < 0 || image.height < 0) __builtin_trap();
    const uint64_t pixels = uint64_t(image.width) * uint64_t(image.height);
    if (image.rgb.size() != pixels * 3) __builtin_trap();
    if (!image.indices.empty() && image.indices.size() != pixels) __builtin_trap();
    return 0;
}
