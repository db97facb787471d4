#include "model/flow_volume_timing.h"

#include "model/run_timeline.h"

#include <algorithm>
#include <cmath>

using namespace vm::record;

namespace vm::model {

using namespace timeline;

namespace {

// A flow-volume sample n taken in the same step as a volume-time sample.
struct Pair {
    int n;
    long long step;
};

// Consecutive samples lie at least one effort cadence apart and at most one cadence before the
// effort plus the one skipped step where a cadence changes.
constexpr int kShortestGap_steps = kEffortCadence_steps;
constexpr int kLongestGap_steps = kBeforeEffortCadence_steps + kEffortCadence_steps;

// More equal volumes than this are no run's curves (a flat made-up curve, say); nothing is placed.
constexpr std::size_t kMostPairCandidates = 4 * layout::kFvSamples;

// Where the curve is flat to the float's last bits (the lungs settling at full inspiration, small
// lungs above all), equal volumes are chance: such a sample pins nothing.
constexpr float kFlatUlps = 64.0f;

bool onFlatStretch(const SimulationRecord& record, int row, int n, int samples) {
    const float v = record.fvVolume(row, n);
    const float ulp = std::nextafter(std::fabs(v), INFINITY) - std::fabs(v);
    const auto near = [&](int m) {
        return m >= 1 && m <= samples && std::fabs(record.fvVolume(row, m) - v) < kFlatUlps * ulp;
    };
    return near(n - 1) || near(n + 1);
}

bool canFollow(const Pair& a, const Pair& b) {
    const long long samples = b.n - a.n;
    const long long steps = b.step - a.step;
    return samples > 0 && steps >= kShortestGap_steps * samples &&
           steps <= kLongestGap_steps * samples;
}

// The longest chain of candidates that the cadences allow; a chance equality of two volumes far
// apart in time cannot join the chain of true pairs.
std::vector<Pair> longestChain(const std::vector<Pair>& candidates) {
    const std::size_t count = candidates.size();
    std::vector<int> length(count, 1);
    std::vector<int> previous(count, -1);
    std::size_t best = 0;
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t j = 0; j < i; ++j)
            if (length[j] + 1 > length[i] && canFollow(candidates[j], candidates[i])) {
                length[i] = length[j] + 1;
                previous[i] = static_cast<int>(j);
            }
        if (length[i] > length[best])
            best = i;
    }
    std::vector<Pair> chain;
    for (int i = count ? static_cast<int>(best) : -1; i >= 0;
         i = previous[static_cast<std::size_t>(i)])
        chain.push_back(candidates[static_cast<std::size_t>(i)]);
    std::reverse(chain.begin(), chain.end());
    return chain;
}

// The run's cadences in the order of the test.
constexpr int kCadences[] = {kBeforeEffortCadence_steps, kEffortCadence_steps,
                             kExpirationCadence_steps};

int cadenceAfter(int cadence, int places) {
    for (int i = 0; i < 3; ++i)
        if (kCadences[i] == cadence)
            return i + places >= 0 && i + places < 3 ? kCadences[i + places] : 0;
    return 0;
}

// The one cadence of the samples from a to b, or 0 where it changes between them.
int uniformCadence(const Pair& a, const Pair& b) {
    const long long gaps = b.n - a.n;
    const long long steps = b.step - a.step;
    for (int cadence : kCadences)
        if (steps == cadence * gaps)
            return cadence;
    return 0;
}

// Places the samples between a and b, where the cadence changes from `before` to `after`: the
// first samples keep the old cadence from a, the rest lie back from b at the new one, with one gap
// between them of at most the longer cadence. Only where no split fits that way is the gap let
// grow by the one step skipped when the change falls exactly on a step. False when none fits.
bool placeAcrossChange(const Pair& a, const Pair& b, int before, int after,
                       std::vector<long long>& step) {
    const long long gaps = b.n - a.n;
    for (int skipped : {0, kEffortCadence_steps})
        for (long long kept = 0; kept < gaps; ++kept) {
            const long long lastOld = a.step + before * kept;
            const long long firstNew = b.step - after * (gaps - kept - 1);
            if (firstNew - lastOld < kShortestGap_steps ||
                firstNew - lastOld > std::max(before, after) + skipped)
                continue;
            for (int n = a.n + 1; n < b.n; ++n)
                step[static_cast<std::size_t>(n - 1)] =
                    n - a.n <= kept ? a.step + before * (n - a.n) : b.step - after * (b.n - n);
            return true;
        }
    return false;
}

} // namespace

int flowVolumeSampleCount(const SimulationRecord& record, int row) {
    int count = 0;
    while (count < layout::kFvSamples && record.fvVolume(row, count + 1) != 0)
        ++count;
    return count;
}

FlowVolumeTimes placeFlowVolumeSamples(const SimulationRecord& record, int row) {
    FlowVolumeTimes times;
    const int samples = flowVolumeSampleCount(record, row);
    std::vector<long long> step(static_cast<std::size_t>(samples), -1);
    times.time_s_.assign(static_cast<std::size_t>(samples), std::nan(""));

    std::vector<Pair> candidates;
    for (int k = 1; k <= layout::kVtSamples && record.vtTime(row, k) != 0; ++k) {
        const float volume = record.vtVolume(row, k);
        for (int n = 1; n <= samples; ++n)
            if (record.fvVolume(row, n) == volume && !onFlatStretch(record, row, n, samples))
                candidates.push_back({n, static_cast<long long>(k) * kVolumeTimeCadence_steps});
        if (candidates.size() > kMostPairCandidates)
            return times;
    }
    const std::vector<Pair> chain = longestChain(candidates);
    if (chain.size() < 2)
        return times;

    // Each gap's cadence; where it changes inside a gap, it changes from the cadence of the
    // nearest steady gap before to the next in the run's order.
    const std::size_t gapCount = chain.size() - 1;
    std::vector<int> before(gapCount), after(gapCount);
    for (std::size_t i = 0; i < gapCount; ++i)
        before[i] = after[i] = uniformCadence(chain[i], chain[i + 1]);
    for (std::size_t i = 0; i < gapCount; ++i) {
        if (before[i] != 0)
            continue;
        int earlier = 0;
        for (std::size_t j = i; j > 0 && earlier == 0; --j)
            earlier = after[j - 1];
        for (std::size_t j = i + 1; j < gapCount && earlier == 0; ++j)
            earlier = before[j] != 0 ? cadenceAfter(before[j], -1) : 0;
        before[i] = earlier;
        after[i] = cadenceAfter(earlier, 1);
    }

    std::size_t placedGaps = 0;
    for (; placedGaps < gapCount; ++placedGaps) {
        const Pair& a = chain[placedGaps];
        const Pair& b = chain[placedGaps + 1];
        if (after[placedGaps] == 0 ||
            !placeAcrossChange(a, b, before[placedGaps], after[placedGaps], step))
            break;
        step[static_cast<std::size_t>(a.n - 1)] = a.step;
        step[static_cast<std::size_t>(b.n - 1)] = b.step;
    }
    // Before the first pair lies only the approach to the effort, after the last only the
    // expiration's tail, each at one cadence throughout.
    const Pair& first = chain.front();
    if (placedGaps > 0 && before.front() == kBeforeEffortCadence_steps)
        for (int n = 1; n < first.n; ++n)
            step[static_cast<std::size_t>(n - 1)] = first.step - before.front() * (first.n - n);
    if (placedGaps == gapCount && after.back() == kExpirationCadence_steps)
        for (int n = chain.back().n + 1; n <= samples; ++n)
            step[static_cast<std::size_t>(n - 1)] =
                chain.back().step + after.back() * (n - chain.back().n);
    for (int n = 1; n <= samples; ++n)
        if (step[static_cast<std::size_t>(n - 1)] >= 0)
            times.time_s_[static_cast<std::size_t>(n - 1)] =
                static_cast<double>(step[static_cast<std::size_t>(n - 1)]) / kStepsPerSecond;
    return times;
}

} // namespace vm::model
