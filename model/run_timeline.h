#pragma once
// The timeline of one simulated test: when its phases begin and end, the thresholds that end
// them early, and how often the curves are sampled. Times are model time in seconds; offsets of
// the final manoeuvre count from the start of its breath (t0).

namespace vm::model {

// 0 before the final manoeuvre, then 4..8; only the order and the last phase matter to the run.
enum class ManoeuvrePhase {
    none = 0,
    slowExpiration = 4, // also the pause after it and the hold at full inspiration
    maximalInspiration = 5,
    effortRise = 6,
    forcedExpiration = 7,
    finalInspiration = 8,
};

namespace timeline {

// Start of the run: the settled model keeps its inspiratory pressure, is left to itself, lets
// the pressure go by a half cosine and rests at its functional residual capacity.
inline constexpr double kPressureHeldUntil_s = 0.5;
inline constexpr double kReleaseStart_s = 1.0;
inline constexpr double kReleaseEnd_s = 3.0;
inline constexpr double kReleaseLength_s = kReleaseEnd_s - kReleaseStart_s;
inline constexpr double kTidalBreathingStart_s = 6.0;

// Tidal breathing: recording begins with the 4th breath, the 7th is the final manoeuvre.
inline constexpr int kRecordingBreath = 4;
inline constexpr int kManoeuvreBreath = 7;

// Final manoeuvre, offsets from t0. The slow expiration's half cosine spans the whole phase.
inline constexpr double kStandstillCheckFrom_s = 1.5;
inline constexpr double kSlowExpirationEnd_s = 5.0;
inline constexpr double kIntegrationResumes_s = 5.9;
inline constexpr double kMaximalInspirationStart_s = 6.0;
inline constexpr double kHoldLengthensAfter_s = 6.7; // plus the hold
inline constexpr double kEffortStart_s = 7.0;        // plus the hold: T

// A slow expiration that has come to a standstill stops the integration.
inline constexpr double kStandstillRate_lps = 0.0005;
// The hold lengthens, up to its longest, while the lungs still fill faster than this.
inline constexpr double kHoldFillingRate_lps = 0.02;
inline constexpr double kLongestHold_s = 4.0;

// The forced expiration ends once its flow has fallen to the end-of-test threshold, checked
// from this long after the effort's rise, or at the latest after its own limit.
inline constexpr double kEndFlowCheckAfterRise_s = 1.5;
inline constexpr double kForcedExpirationLimit_s = 25.0;

// The run ends at its time limit, a fixed time after the effort's rise, or once the mouth is
// quiet and recording has stopped.
inline constexpr double kRunLimit_s = 110.0;
inline constexpr double kRunEndAfterRise_s = 30.0;
inline constexpr double kQuietEndAfterRise_s = 5.0;
inline constexpr double kQuietMouthFlow_lps = 0.003;

// Recording: fev1 one second into the effort; a volume-time sample every 100 steps; a
// flow-volume sample every 60 steps before the effort, every 2 steps from it until one second
// after its rise, every 30 steps later on.
inline constexpr double kFev1AfterEffort_s = 1.0;
inline constexpr int kStepsPerSecond = 1000;
inline constexpr int kVolumeTimeCadence_steps = 100;
inline constexpr int kBeforeEffortCadence_steps = 60;
inline constexpr int kEffortCadence_steps = 2;
inline constexpr int kExpirationCadence_steps = 30;
inline constexpr double kEffortCadenceAfterRise_s = 1.0;

// The run clock shows every (910 - 12 n) ms, n the substep count: about every 0.9 s.
inline constexpr int kRunClockPeriod_ms = 910;
inline constexpr int kRunClockPerSubstep_ms = 12;

} // namespace timeline

} // namespace vm::model
