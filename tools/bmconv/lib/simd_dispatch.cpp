#include "simd_dispatch.h"

#include <atomic>

namespace bmconv {
namespace {

std::atomic<bool> portableOnly{false};

bool processorHasAvx2() {
#ifdef ZEMBREL_AVX2
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
#else
    return false;
#endif
}

} // namespace

bool useAvx2() {
    return processorHasAvx2() && !portableOnly.load(std::memory_order_relaxed);
}

void setPortableOnly(bool on) {
    portableOnly.store(on, std::memory_order_relaxed);
}

} // namespace bmconv
