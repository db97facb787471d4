#pragma once
// The two arms of batch_math.h, each a table of the same functions compiled from the same lane
// code (lanes.h and the rounds headers): the portable arm for every x86-64 processor, the AVX2
// arm for those with AVX2 and FMA only. The dispatch (batch_math.cpp) chooses one at run time.

namespace vm::model {

struct LobeColumns;
struct LobeTissueColumns;
struct LobeTissue;
struct SearchResults;
struct CallOutputs;
struct LobeAdvance;

// values[0..count), count a multiple of 4.
using BatchOfValues = void (*)(double* values, int count);

struct BatchFunctions {
    BatchOfValues arctangents;
    BatchOfValues tangents;
    BatchOfValues cubeRoots;
    void (*lobeTissue)(const LobeTissueColumns&, LobeTissue&);
    void (*searches)(const LobeColumns&, const double*, int, double, double, const CallOutputs*,
                     SearchResults&);
    bool (*advance)(const LobeAdvance&);
};

extern const BatchFunctions kPortableArm;
extern const BatchFunctions kAvx2Arm; // may only run where the processor has AVX2 and FMA

} // namespace vm::model
