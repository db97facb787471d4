#include "model/forced_expiration_curve.h"

#include "model/run_status.h"
#include "model/spirometric_indices.h"

#include <algorithm>
#include <cmath>

using namespace vm::record;

namespace vm::model {

namespace {
// ATS/ERS 2019 calls the end of a blow a plateau when its last second exhales less than 25 ml.
// The model's subject stops blowing as soon as the flow has fallen to that rate, 25 ml/s (the
// end-of-test flow), so no second of it ever forms: the blow's end is taken as a plateau when
// its flow there is down at that rate. Its last sample lies up to 30 ms before the end, while the
// flow still falls, hence the margin; a blow cut short by a raised end-of-test flow ends at
// 0.2 l/s and more.
constexpr double kPlateauEndFlow_lps = 0.05;
} // namespace

std::string_view missingReasonText(MissingReason reason) {
    switch (reason) {
    case MissingReason::none:
        return "";
    case MissingReason::noValidResult:
        return "no valid result";
    case MissingReason::samplesNotPlaced:
        return "the flow-volume curve cannot be placed in time";
    case MissingReason::expirationUnder6s:
        return "the forced expiration ended before 6 s without a plateau";
    case MissingReason::fvcShareNotReached:
        return "the forced expiration does not reach 75 % of the FVC";
    case MissingReason::noInspirationAtHalfFvc:
        return "the inspiration before the forced expiration does not reach half the FVC";
    case MissingReason::noMef50:
        return "the result has no MEF50";
    case MissingReason::notStored:
        return "the file was saved before this index was stored";
    }
    return "";
}

double ForcedExpiration::exhaledAt(double t_s) const {
    if (!timed() || t_s > time_s.back())
        return std::nan("");
    if (t_s <= time_s.front())
        return 0.0;
    std::size_t i = 1;
    while (time_s[i] < t_s)
        ++i;
    const double share = (t_s - time_s[i - 1]) / (time_s[i] - time_s[i - 1]);
    return exhaled_l[i - 1] + share * (exhaled_l[i] - exhaled_l[i - 1]);
}

double ForcedExpiration::exhaledVolume_l() const {
    return *std::max_element(exhaled_l.begin(), exhaled_l.end());
}

bool ForcedExpiration::endsOnPlateau() const {
    if (!timed() || exhaled_l.size() < 2)
        return false;
    const std::size_t last = exhaled_l.size() - 1;
    const double endFlow =
        (exhaled_l[last] - exhaled_l[last - 1]) / (time_s[last] - time_s[last - 1]);
    return endFlow < kPlateauEndFlow_lps;
}

double ForcedExpiration::timeToExhale(double volume_l) const {
    if (!timed())
        return std::nan("");
    for (std::size_t i = 1; i < exhaled_l.size(); ++i)
        if (exhaled_l[i] >= volume_l && exhaled_l[i - 1] < volume_l) {
            const double share = (volume_l - exhaled_l[i - 1]) / (exhaled_l[i] - exhaled_l[i - 1]);
            return time_s[i - 1] + share * (time_s[i] - time_s[i - 1]);
        }
    return std::nan("");
}

std::optional<ForcedExpiration> forcedExpirationOf(const SimulationRecord& record, int row) {
    if (record.field(row, RowField::runStatus) != kRunValid)
        return std::nullopt;
    const FlowVolumeExtent extent = findFlowVolumeExtent(record, row);
    ForcedExpiration curve;
    curve.startSample = extent.largestSample;
    curve.lastSample = flowVolumeSampleCount(record, row);
    curve.startVolume_l = extent.largestVolume;
    if (!hasExpiredVolume(extent) || curve.startSample >= curve.lastSample)
        return std::nullopt;
    // The first sample of the largest expiratory flow, as the row's PEF is taken.
    for (int n = curve.startSample + 1; n <= curve.lastSample; ++n)
        if (-record.fvFlow(row, n) > curve.peakFlow_lps) {
            curve.peakFlow_lps = -record.fvFlow(row, n);
            curve.peakSample = n;
        }
    if (curve.peakSample == 0)
        return std::nullopt;
    for (int n = curve.startSample; n <= curve.lastSample; ++n)
        curve.exhaled_l.push_back(curve.startVolume_l - record.fvVolume(row, n));
    curve.peakExhaled_l =
        curve.exhaled_l[static_cast<std::size_t>(curve.peakSample - curve.startSample)];
    curve.timeToPeakFlow_s = curve.peakExhaled_l / curve.peakFlow_lps;

    const FlowVolumeTimes clock = placeFlowVolumeSamples(record, row);
    const double timeZero = clock.at(curve.peakSample) - curve.timeToPeakFlow_s;
    std::vector<double> time;
    for (int n = curve.startSample; n <= curve.lastSample; ++n)
        time.push_back(clock.at(n) - timeZero);
    bool placed = true;
    for (double t : time)
        placed = placed && std::isfinite(t);
    if (placed)
        curve.time_s = std::move(time);
    return curve;
}

} // namespace vm::model
