#include "standard_record.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Lung volumes of a healthy adult, litres.
constexpr double kFrc_l = 3.0;
constexpr double kTidalVolume_l = 0.5;
constexpr double kResidualVolume_l = 1.45;
constexpr double kTlc_l = 6.2;

// Phases of the recording, seconds since recording began.
constexpr double kTidalEnd_s = 12.0;    // three breaths of 4 s
constexpr double kSlowExpEnd_s = 17.0;  // slow expiration to the residual volume
constexpr double kInspStart_s = 18.0;   // maximal inspiration ...
constexpr double kInspEnd_s = 19.0;     // ... over one second
constexpr double kEffortStart_s = 20.0; // one second's hold, then the forced expiration
constexpr double kEffortRise_s = (3.54 + 2.5) / 68.04;
constexpr double kFinalInspiration_s = 2.0;
constexpr double kEndFlow_lps = 0.025;

// The forced expiration empties a fast and a slow compartment; the flow rises within 40 ms.
constexpr double kFastVolume_l = 4.2;
constexpr double kFastTime_s = 0.4;
constexpr double kSlowVolume_l = kTlc_l - kResidualVolume_l - kFastVolume_l;
constexpr double kSlowTime_s = 1.8;
constexpr double kRiseTime_s = 0.04;

constexpr double kStep_s = 0.001;

double cosineRamp(double from, double to, double fraction) {
    return from + (to - from) * 0.5 * (1.0 - std::cos(std::numbers::pi * fraction));
}

// Lung volume before the forced expiration.
double volumeBeforeEffort(double t) {
    if (t < kTidalEnd_s)
        return kFrc_l + kTidalVolume_l * 0.5 * (1.0 - std::cos(2 * std::numbers::pi * t / 4.0));
    if (t < kSlowExpEnd_s)
        return cosineRamp(kFrc_l, kResidualVolume_l,
                          (t - kTidalEnd_s) / (kSlowExpEnd_s - kTidalEnd_s));
    if (t < kInspStart_s)
        return kResidualVolume_l;
    if (t < kInspEnd_s)
        return cosineRamp(kResidualVolume_l, kTlc_l,
                          (t - kInspStart_s) / (kInspEnd_s - kInspStart_s));
    return kTlc_l;
}

double forcedFlow(double sinceEffort) {
    const double emptying = kFastVolume_l / kFastTime_s * std::exp(-sinceEffort / kFastTime_s) +
                            kSlowVolume_l / kSlowTime_s * std::exp(-sinceEffort / kSlowTime_s);
    return -emptying * (1.0 - std::exp(-sinceEffort / kRiseTime_s));
}

// Volume shares of lobes 1..5 (two left, three right).
constexpr double kLobeShare[] = {0.22, 0.23, 0.20, 0.10, 0.25};
constexpr double kCentralVolumes_l = 0.12;

} // namespace

SimulationRecord ProvisionalStandardRecord() {
    using namespace record_layout;
    SimulationRecord record;
    const int row = referenceRow;

    double volume = kFrc_l;
    double flow = 0;
    double fev1Volume = 0;
    double flowAt1s = 0;
    double fet = 0;
    int stepCount = 0;
    int sampleCount = 0;
    double endOfEffort = -1;     // when the expiration ended
    double finalStartVolume = 0; // where the final inspiration began
    const double finalTarget = kFrc_l + 0.97 * (kTlc_l - kFrc_l);

    const auto takeSample = [&](double t) {
        const int n = ++sampleCount;
        const float previous = n > 1 ? record.fvFlow(row, n - 1) : 0.0f;
        record.setFvFlow(row, n, static_cast<float>(n > 3 ? (previous + flow) / 2 : flow));
        record.setFvVolume(row, n, static_cast<float>(volume));
        const bool limited = t > kEffortStart_s + 0.15 && flow < 0;
        for (int lobe = 1; lobe <= kLobes; ++lobe) {
            const double lobeVolume = (volume - kCentralVolumes_l) * kLobeShare[lobe - 1];
            record.setLobeVolume(row, n, lobe, static_cast<float>(lobeVolume));
            // Airway resistances rise as the lobe empties.
            record.setLobeTraceA(row, n, lobe, static_cast<float>(0.05 * kTlc_l / volume));
            record.setLobeTraceB(row, n, lobe, static_cast<float>(0.2 * kTlc_l / volume));
            record.setLobeState(row, n, lobe, limited ? 1 : 0);
        }
    };
    for (int lobe = 1; lobe <= kLobes; ++lobe) {
        record.setLobeVolume(
            row, 0, lobe, static_cast<float>((kFrc_l - kCentralVolumes_l) * kLobeShare[lobe - 1]));
        record.setLobeTraceA(row, 0, lobe, static_cast<float>(0.05 * kTlc_l / kFrc_l));
        record.setLobeTraceB(row, 0, lobe, static_cast<float>(0.2 * kTlc_l / kFrc_l));
    }

    for (;;) {
        const double t = (stepCount + 1) * kStep_s;
        const double before = volume;
        if (t < kEffortStart_s) {
            volume = volumeBeforeEffort(t);
        } else if (endOfEffort < 0) {
            volume += forcedFlow(t - kEffortStart_s) * kStep_s;
            if (t >= kEffortStart_s + kEffortRise_s + 1.5 &&
                -forcedFlow(t - kEffortStart_s) <= kEndFlow_lps) {
                endOfEffort = t;
                finalStartVolume = volume;
            }
        } else {
            const double fraction = (t - endOfEffort) / kFinalInspiration_s;
            if (fraction > 1.0)
                break;
            volume = cosineRamp(finalStartVolume, finalTarget, fraction);
        }
        flow = (volume - before) / kStep_s;
        ++stepCount;

        if (stepCount % 100 == 0) {
            const int k = stepCount / 100;
            record.setVtTime(row, k, static_cast<float>(stepCount / 1000.0));
            record.setVtVolume(row, k, static_cast<float>(volume));
        }
        const bool forcedRecording = t >= kInspStart_s && endOfEffort < 0;
        if (!forcedRecording)
            continue;
        if (t > kEffortStart_s + 1 && fev1Volume == 0) {
            fev1Volume = volume;
            flowAt1s = flow;
        }
        if (flow < 0)
            fet += kStep_s;
        const bool sample =
            (t < kEffortStart_s && stepCount % 60 == 0) ||
            (t > kEffortStart_s + kEffortRise_s + 1 && stepCount % 30 == 0) ||
            (t > kEffortStart_s && t < kEffortStart_s + kEffortRise_s + 1 && stepCount % 2 == 0);
        if (sample && sampleCount < 1498)
            takeSample(t);
    }

    // The indices, from the samples as the run computes them.
    double vMax = 0;
    int m = 0;
    double vMin = 100;
    double mostNegativeFlow = 0;
    for (int n = 1; n <= kFvSamples; ++n) {
        const double v = record.fvVolume(row, n);
        if (v > vMax) {
            vMax = v;
            m = n;
        }
        if (v > 0 && v < vMin)
            vMin = v;
        mostNegativeFlow = std::min<double>(mostNegativeFlow, record.fvFlow(row, n));
    }
    const double fvc = vMax - vMin;
    const double fev1 = vMax - fev1Volume;
    double mef[3] = {0, 0, 0};
    const double fractions[3] = {0.75, 0.5, 0.25};
    for (int i = 0; i < 3; ++i) {
        for (int n = m + 1; n <= kFvSamples; ++n) {
            const double v = record.fvVolume(row, n);
            if (v - vMin < fractions[i] * fvc) {
                mef[i] = -record.fvFlow(row, n);
                break;
            }
        }
    }
    const auto set = [&](RowField f, double v) { record.setField(row, f, static_cast<float>(v)); };
    set(RowField::fev1, fev1);
    set(RowField::fvcex, fvc);
    set(RowField::fev1PctFvc, 100 * fev1 / fvc);
    set(RowField::pef, -mostNegativeFlow);
    set(RowField::mef75, mef[0]);
    set(RowField::mef50, mef[1]);
    set(RowField::mef25, mef[2]);
    set(RowField::erv, kFrc_l - vMin);
    set(RowField::flowAt1s, flowAt1s);
    set(RowField::frc, kFrc_l);
    set(RowField::tlc, vMax);
    set(RowField::runStatus, 1);
    set(RowField::fet, fet);
    set(RowField::modelVariant, 1);

    // Reference coefficients of the trachea and both main bronchi.
    record.setCentralTrace(row, 0, 0.0454575f);
    record.setCentralTrace(row, 1, 0.00057f);
    record.setCentralTrace(row, 2, 0.00057f);
    for (int part = 0; part < kParts; ++part)
        for (int column = 0; column < kSettingColumns; ++column)
            record.setPartSetting(row, part, column, 100.0f);
    for (int item = 0; item < kGlobalItems; ++item)
        record.setGlobalSetting(row, item, 100.0f);
    return record;
}
