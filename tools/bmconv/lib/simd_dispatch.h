// Building the pixel loops a second time for AVX2, chosen at run time.
#pragma once

// On x86-64 the row loops are also built for AVX2 and the variant is chosen at run time: the
// vectorized conversions of 16- and 24-bit pixels run several times faster. Not on Windows,
// where GCC cannot align the stack for AVX spills. A loop meant for both variants is
// ZEMBREL_INLINE, so each variant gets its own copy. Nothing else is built for AVX2: the
// program runs on any x86-64 processor.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(_WIN32)
#define ZEMBREL_AVX2 1
#define ZEMBREL_INLINE inline __attribute__((always_inline))
#else
#define ZEMBREL_INLINE inline
#endif

namespace bmconv {

/// Whether the AVX2 variants run: built with them, the processor has AVX2, and the portable
/// variants have not been asked for.
bool useAvx2();

/// Runs the portable variants only while `on`, as on a processor without AVX2 (both must
/// give the same bytes; tests compare them). Not meant to change while a conversion runs.
void setPortableOnly(bool on);

} // namespace bmconv
