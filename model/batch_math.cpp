#include "model/batch_math.h"

#include "model/batch_math_avx2.h"
#include "model/lobe_rounds.h"
#include "model/search_rounds.h"
#include "model/tissue_rounds.h"

#include <atomic>

namespace vm::model {

namespace {

Lanes4 multiplyAdd4(Lanes4 a, Lanes4 b, Lanes4 c) {
    return a * b + c;
}

Lanes4 select4(Mask4 m, Lanes4 a, Lanes4 b) {
    return (Lanes4)(((Mask4)a & m) | ((Mask4)b & ~m));
}

bool any4(Mask4 m) {
    return (m[0] | m[1] | m[2] | m[3]) != 0;
}

// The searches' own arctangent, so that the test of the batched functions covers it.
void takeArctangentsGeneric(double* values, int count) {
    for (int i = 0; i < count; i += 4)
        store4(values + i, arctangentOfQuotient4(load4(values + i), splat4(1.0)));
}

void takeLobeTissueGeneric(const LobeTissueColumns& lobes, LobeTissue& tissue) {
    takeLobeTissueOf(lobes, tissue);
}

void runLobeSearchesGeneric(const LobeColumns& lobes, const double* x, int calls, double pcLeft,
                            double pcRight, const CallOutputs* outputs, SearchResults& results) {
    runLobeSearchesOf(lobes, x, calls, pcLeft, pcRight, outputs, results);
}

bool advanceLobesGeneric(const LobeAdvance& lobes) {
    return advanceLobesOf(lobes);
}

using Batch = void (*)(double*, int);

void takeTangentsGeneric(double* values, int count) {
    takeTangentsOf(values, count);
}

void takeCubeRootsGeneric(double* values, int count) {
    takeCubeRootsOf(values, count);
}

struct BatchFunctions {
    Batch arctangents;
    Batch tangents;
    Batch cubeRoots;
    void (*lobeTissue)(const LobeTissueColumns&, LobeTissue&);
    void (*searches)(const LobeColumns&, const double*, int, double, double, const CallOutputs*,
                     SearchResults&);
    bool (*advance)(const LobeAdvance&);
};

constexpr BatchFunctions kPortable{takeArctangentsGeneric, takeTangentsGeneric,
                                   takeCubeRootsGeneric,   takeLobeTissueGeneric,
                                   runLobeSearchesGeneric, advanceLobesGeneric};

BatchFunctions bestFunctions() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        return {takeArctangentsAvx2, takeTangentsAvx2,    takeCubeRootsAvx2,
                takeLobeTissueAvx2,  runLobeSearchesAvx2, advanceLobesAvx2};
    return kPortable;
}

std::atomic<bool> portableOnly = false;
std::atomic<const BatchFunctions*> chosen = nullptr; // the processor's best, once looked up

// Apart from functions(), so that the lookup's one-time guard does not weigh on every call.
[[gnu::noinline, gnu::cold]] const BatchFunctions& lookUpBest() {
    static const BatchFunctions best = bestFunctions();
    chosen.store(&best, std::memory_order_relaxed);
    return best;
}

const BatchFunctions& functions() {
    if (portableOnly.load(std::memory_order_relaxed)) [[unlikely]]
        return kPortable;
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
