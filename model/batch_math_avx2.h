#pragma once
// The AVX2 arm of batch_math.h, in a file of its own compiled for AVX2 and FMA: it may only run
// where the processor has both. values[0..count), count a multiple of 4.

namespace vm::model {

struct LobeColumns;
struct LobeTissueColumns;
struct LobeTissue;
struct SearchResults;
struct CallOutputs;
struct LobeAdvance;

void takeArctangentsAvx2(double* values, int count);
void takeTangentsAvx2(double* values, int count);
void takeCubeRootsAvx2(double* values, int count);
void takeLobeTissueAvx2(const LobeTissueColumns& lobes, LobeTissue& tissue);
void runLobeSearchesAvx2(const LobeColumns& lobes, const double* x, int calls, double pcLeft,
                         double pcRight, const CallOutputs* outputs, SearchResults& results);
bool advanceLobesAvx2(const LobeAdvance& lobes);

} // namespace vm::model
