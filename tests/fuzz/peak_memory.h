#pragma once
// The process's peak resident memory so far, for the hostile inputs' memory ceiling.

#include <sys/resource.h>

namespace vm::fuzz {

// A loader given any file must stay below this, sanitizers included.
inline constexpr long kMemoryCeilingMb = 500;

inline long peakResidentMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024; // kilobytes on Linux
}

} // namespace vm::fuzz
