#pragma once
// Indices read from a result row's stored curves and indices after the run, so that rows of older
// simulation files show them too. Where a row cannot give one, the index is empty with the reason.
// They are read as a spirometer reads a blow: the FVC is the volume the forced expiration
// exhales (the row's FVCEX, from the lowest volume before the maximal inspiration, is not), and
// FEV1 is timed from the back-extrapolated time zero (the row's FEV1 from the start of the
// effort, about 10 ml apart). PEF, MEF50 and TLC are the row's own.

#include "model/forced_expiration_curve.h"
#include "record/simulation_record.h"

#include <array>
#include <string_view>

namespace vm::model {

struct CurveIndex {
    double value = 0.0;
    MissingReason missing = MissingReason::noValidResult;
    bool present() const { return missing == MissingReason::none; }
};

struct CurveIndices {
    CurveIndex fvc_l;         // exhaled by the forced expiration
    CurveIndex fev1_l;        // exhaled 1 s after time zero
    CurveIndex fef25to75_lps; // mean flow while the middle half of the FVC is exhaled
    CurveIndex
        fev6_l; // exhaled 6 s after time zero; the FVC when the blow ends on a plateau sooner
    CurveIndex fev1PctFev6;              // FEV1 / FEV6, %
    CurveIndex slowVc_l;                 // TLC - the lowest volume of the slow expiration
    CurveIndex fev1PctVc;                // FEV1 / slow VC, %
    CurveIndex rv_l;                     // the lowest volume of the slow expiration
    CurveIndex rvPctTlc;                 // RV / TLC, %
    CurveIndex timeToPef_s;              // from time zero to the peak flow
    CurveIndex backExtrapolatedVolume_l; // exhaled before time zero
    CurveIndex empeyIndex;               // FEV1 in ml / PEF in l/min
    CurveIndex fif50_lps;                // inspiratory flow at half the FVC, before the effort
    CurveIndex fef50ToFif50;             // MEF50 / FIF50
};

// One index and how it is shown, in the order of the results.
struct CurveIndexInfo {
    CurveIndex CurveIndices::*member;
    std::string_view jsonKey;
    std::string_view name;
    std::string_view unit;
    int decimals;
};

inline constexpr std::array<CurveIndexInfo, 14> kCurveIndices{{
    {&CurveIndices::fvc_l, "fvc", "FVC", "l", 2},
    {&CurveIndices::fev1_l, "fev1FromTimeZero", "FEV1 (t0)", "l", 2},
    {&CurveIndices::fef25to75_lps, "fef25to75", "FEF25-75", "l/s", 2},
    {&CurveIndices::fev6_l, "fev6", "FEV6", "l", 2},
    {&CurveIndices::fev1PctFev6, "fev1PctFev6", "FEV1%FEV6", "%", 1},
    {&CurveIndices::slowVc_l, "slowVc", "VC", "l", 2},
    {&CurveIndices::fev1PctVc, "fev1PctVc", "FEV1%VC", "%", 1},
    {&CurveIndices::rv_l, "rv", "RV", "l", 2},
    {&CurveIndices::rvPctTlc, "rvPctTlc", "RV%TLC", "%", 1},
    {&CurveIndices::timeToPef_s, "timeToPef", "tPEF", "s", 3},
    {&CurveIndices::backExtrapolatedVolume_l, "backExtrapolatedVolume", "BEV", "l", 3},
    {&CurveIndices::empeyIndex, "empeyIndex", "Empey", "ml/(l/min)", 2},
    {&CurveIndices::fif50_lps, "fif50", "FIF50", "l/s", 2},
    {&CurveIndices::fef50ToFif50, "fef50ToFif50", "FEF50/FIF50", "", 2},
}};

CurveIndices computeCurveIndices(const record::SimulationRecord& record, int row);

} // namespace vm::model
