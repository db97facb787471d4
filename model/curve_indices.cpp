#include "model/curve_indices.h"

#include <algorithm>
#include <cmath>

using namespace vm::record;

namespace vm::model {

namespace {

// The FEF25-75 span and the volume 6 s shows, as fractions of the FVC and seconds from time zero.
constexpr double kFef25Share = 0.25;
constexpr double kFef75Share = 0.75;
constexpr double kFev6Time_s = 6.0;
constexpr double kMillilitresPerLitre = 1000.0;
constexpr double kSecondsPerMinute = 60.0;

IndexValue present(double value) {
    return {value, MissingReason::none};
}
IndexValue missing(MissingReason reason) {
    return {0.0, reason};
}

// A ratio of two present indices, in percent when scaled by 100.
IndexValue ratio(const IndexValue& over, const IndexValue& under, double scale) {
    if (!over.present())
        return over;
    if (!under.present())
        return under;
    return present(scale * over.value / under.value);
}

// The lowest lung volume before the maximal inspiration: the end of the slow expiration, in the
// volume-time samples up to the first at the curve's largest volume and in the flow-volume
// samples of the inspiration.
double slowExpirationLowest(const SimulationRecord& record, int row, const ForcedExpiration& fe) {
    double lowest = fe.startVolume_l;
    for (int n = 1; n <= fe.startSample; ++n)
        lowest = std::min<double>(lowest, record.fvVolume(row, n));
    int top = 1;
    for (int k = 1; k <= layout::kVtSamples && record.vtTime(row, k) != 0; ++k)
        if (record.vtVolume(row, k) > record.vtVolume(row, top))
            top = k;
    for (int k = 1; k <= top && record.vtTime(row, k) != 0; ++k)
        lowest = std::min<double>(lowest, record.vtVolume(row, k));
    return lowest;
}

// The inspiratory flow where the maximal inspiration passes half the FVC above its lowest
// volume, linear in volume between the samples; NaN when it does not.
double inspiratoryFlowAtHalf(const SimulationRecord& record, int row, const ForcedExpiration& fe,
                             double fvc) {
    const double level = fe.startVolume_l - fvc / 2;
    for (int n = 2; n <= fe.startSample; ++n) {
        const double below = record.fvVolume(row, n - 1);
        const double above = record.fvVolume(row, n);
        if (below < level && above >= level) {
            const double share = (level - below) / (above - below);
            const double flow = record.fvFlow(row, n - 1) +
                                share * (record.fvFlow(row, n) - record.fvFlow(row, n - 1));
            return flow > 0 ? flow : std::nan("");
        }
    }
    return std::nan("");
}

IndexValue timed(const ForcedExpiration& fe, double value, MissingReason ifNaN) {
    if (!fe.timed())
        return missing(MissingReason::samplesNotPlaced);
    return std::isfinite(value) ? present(value) : missing(ifNaN);
}

// The indices read from the curves, each empty until it is read.
void readCurveIndices(const SimulationRecord& record, int row, IndexValues& out) {
    const std::optional<ForcedExpiration> curve = forcedExpirationOf(record, row);
    if (!curve)
        return; // every index empty: no valid result
    const ForcedExpiration& fe = *curve;
    const double fvc = fe.exhaledVolume_l();
    if (!(fvc > 0))
        return;
    IndexValue& fvcIndex = out[indexNamed("fvc")];
    fvcIndex = present(fvc);
    const double pef = record.field(row, RowField::pef);
    const double mef50 = record.field(row, RowField::mef50);
    const double tlc = record.field(row, RowField::tlc);
    // A blow over within a second has exhaled its FVC by then.
    const double fev1 = fe.timed() && fe.time_s.back() < 1.0 ? fvc : fe.exhaledAt(1.0);
    IndexValue& fev1Index = out[indexNamed("fev1FromTimeZero")];
    fev1Index = timed(fe, fev1, MissingReason::noValidResult);

    const double t25 = fe.timeToExhale(kFef25Share * fvc);
    const double t75 = fe.timeToExhale(kFef75Share * fvc);
    out[indexNamed("fef25to75")] = timed(fe, (kFef75Share - kFef25Share) * fvc / (t75 - t25),
                                         MissingReason::fvcShareNotReached);
    // A blow that ends on a plateau before 6 s has exhaled all it will: its FEV6 is its FVC.
    const bool endedSooner = fe.timed() && fe.time_s.back() < kFev6Time_s;
    IndexValue& fev6 = out[indexNamed("fev6")];
    fev6 = endedSooner && fe.endsOnPlateau()
               ? present(fvc)
               : timed(fe, fe.exhaledAt(kFev6Time_s), MissingReason::expirationUnder6s);
    out[indexNamed("fev1PctFev6")] = ratio(fev1Index, fev6, 100.0);

    const double lowest = slowExpirationLowest(record, row, fe);
    IndexValue& rv = out[indexNamed("rv")];
    IndexValue& slowVc = out[indexNamed("slowVc")];
    if (lowest < fe.startVolume_l) {
        rv = present(lowest);
        slowVc = present(fe.startVolume_l - lowest);
    }
    out[indexNamed("fev1PctVc")] = ratio(fev1Index, slowVc, 100.0);
    out[indexNamed("rvPctTlc")] =
        tlc > 0 ? ratio(rv, present(tlc), 100.0) : missing(MissingReason::noValidResult);

    out[indexNamed("timeToPef")] = present(fe.timeToPeakFlow_s);
    out[indexNamed("backExtrapolatedVolume")] =
        timed(fe, fe.exhaledAt(0.0), MissingReason::noValidResult);
    out[indexNamed("empeyIndex")] =
        pef > 0 ? ratio(fev1Index, present(pef * kSecondsPerMinute), kMillilitresPerLitre)
                : missing(MissingReason::noValidResult);

    const double fif50 = inspiratoryFlowAtHalf(record, row, fe, fvc);
    IndexValue& fif50Index = out[indexNamed("fif50")];
    fif50Index =
        std::isfinite(fif50) ? present(fif50) : missing(MissingReason::noInspirationAtHalfFvc);
    out[indexNamed("fef50ToFif50")] =
        mef50 > 0 ? ratio(present(mef50), fif50Index, 1.0) : missing(MissingReason::noMef50);
}

} // namespace

IndexValues readIndices(const SimulationRecord& record, int row, bool curves) {
    IndexValues out;
    for (std::size_t i = 0; i < kIndices.size(); ++i) {
        const int place = storedPlaceOf(i);
        if (place < 0)
            continue;
        const auto field = static_cast<RowField>(place);
        out[i] = record.holdsField(row, field) ? present(record.field(row, field))
                                               : missing(MissingReason::notStored);
    }
    if (curves)
        readCurveIndices(record, row, out);
    return out;
}

} // namespace vm::model
