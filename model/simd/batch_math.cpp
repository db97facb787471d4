// The dispatch of batch_math.h: every call goes to the arm the processor can run best, or to the
// portable one while the tests ask for it.

#include "model/simd/batch_math.h"

#include "model/simd/batch_math_arms.h"

#include <atomic>

namespace vm::model {

namespace {

const BatchFunctions& bestArm() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        return kAvx2Arm;
    return kPortableArm;
}

std::atomic<bool> portableOnly = false;
std::atomic<const BatchFunctions*> chosen = nullptr; // the processor's best, once looked up

// Apart from functions(), so that the lookup's one-time guard does not weigh on every call.
[[gnu::noinline, gnu::cold]] const BatchFunctions& lookUpBest() {
    static const BatchFunctions& best = bestArm();
    chosen.store(&best, std::memory_order_relaxed);
    return best;
}

const BatchFunctions& functions() {
    if (portableOnly.load(std::memory_order_relaxed)) [[unlikely]]
        return kPortableArm;
    if (const BatchFunctions* best = chosen.load(std::memory_order_relaxed)) [[likely]]
        return *best;
    return lookUpBest();
}

} // namespace

void usePortableMathOnly(bool portable) {
    portableOnly.store(portable, std::memory_order_relaxed);
}

void takeArctangents(std::span<double> values) {
    functions().arctangents(values.data(), static_cast<int>(values.size()));
}

void takeTangents(std::span<double> values) {
    functions().tangents(values.data(), static_cast<int>(values.size()));
}

void takeCubeRoots(std::span<double> values) {
    functions().cubeRoots(values.data(), static_cast<int>(values.size()));
}

void takeLobeTissue(const LobeTissueColumns& lobes, LobeTissue& tissue) {
    functions().lobeTissue(lobes, tissue);
}

void runLobeSearches(const LobeColumns& lobes, const double* x, int calls, double pcLeft,
                     double pcRight, const CallOutputs* outputs, SearchResults& results) {
    functions().searches(lobes, x, calls, pcLeft, pcRight, outputs, results);
}

bool advanceLobes(const LobeAdvance& lobes) {
    return functions().advance(lobes);
}

} // namespace vm::model
