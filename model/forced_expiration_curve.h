#pragma once
// The forced expiration of a result row as exhaled volume against time: from the volume maximum
// to the end of the flow-volume curve, its samples placed on the clock of the volume-time curve,
// with time zero found by back-extrapolation (ATS/ERS 2019): the tangent through the point of
// peak flow, with the peak flow for its slope, meets the starting volume at time zero.

#include "model/flow_volume_timing.h"
#include "record/simulation_record.h"

#include <optional>
#include <string_view>
#include <vector>

namespace vm::model {

// Why a row cannot give an index or a curve derived from its stored curves.
enum class MissingReason {
    none,
    noValidResult,          // not a valid run, or no expiration after the volume maximum
    samplesNotPlaced,       // no volume-time samples pin the flow-volume samples to a clock
    expirationUnder6s,      // the forced expiration ended before 6 s from time zero, still flowing
    fvcShareNotReached,     // the expiration does not reach 75 % of the FVC
    noInspirationAtHalfFvc, // the inspiration before the effort does not pass half the FVC
    noMef50,                // the row has no MEF50
    notStored,              // a stored index the row's file was saved before
};

std::string_view missingReasonText(MissingReason reason);

class ForcedExpiration {
  public:
    int startSample = 0; // the volume maximum, where the expiration starts
    int lastSample = 0;  // the end of the flow-volume curve
    int peakSample = 0;  // the largest expiratory flow
    double startVolume_l = 0.0;
    double peakFlow_lps = 0.0;  // positive
    double peakExhaled_l = 0.0; // exhaled volume at the peak-flow sample
    double timeToPeakFlow_s = 0.0;
    std::vector<double> exhaled_l; // exhaled volume of samples startSample..lastSample
    std::vector<double> time_s;    // their time from time zero; empty when they cannot be placed

    bool timed() const { return !time_s.empty(); }
    // The volume the forced expiration exhales: a spirometer's FVC.
    double exhaledVolume_l() const;
    // The blow ran until its flow fell to the end-of-test flow, the model's plateau (see the
    // source); false when untimed.
    bool endsOnPlateau() const;
    // Exhaled volume at a time from time zero, linear between samples, 0 before the expiration;
    // NaN after its end or when untimed.
    double exhaledAt(double t_s) const;
    // The time from time zero at which the exhaled volume first reaches volume_l; NaN if never.
    double timeToExhale(double volume_l) const;
};

// Empty when the row holds no valid forced expiration.
std::optional<ForcedExpiration> forcedExpirationOf(const record::SimulationRecord& record, int row);

} // namespace vm::model
