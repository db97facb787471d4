#include "model/simd/vector_registers.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace vm::model {

namespace {
__attribute__((target("avx"))) void zeroUpperHalves() {
    _mm256_zeroupper();
}
} // namespace

void clearUpperVectorRegisters() {
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx)
        zeroUpperHalves();
}
#else
void clearUpperVectorRegisters() {}
#endif

} // namespace vm::model
