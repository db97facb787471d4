#pragma once
// Puts the model into its reference state and lets it settle into the state in which every run
// begins: at rest volume with the full inspiratory muscle pressure applied.

#include "model/model_state.h"
#include "record/simulation_record.h"

#include <functional>

namespace vm::model {

// resetRowSettings: at start-up every row's part settings become 100 (the standard reference
// is 100 % by definition). After a failed run they are kept, so the earlier results and the
// reference keep the settings that produced them.
void InitialiseModel(ModelState& model, record::SimulationRecord& record, bool resetRowSettings);

// The same, sounding beep when the solver gives up during settling.
void InitialiseModel(ModelState& model, record::SimulationRecord& record, bool resetRowSettings,
                     const std::function<void()>& beep);

// Reference values of every parameter and state variable, without settling.
void setReferenceState(ModelState& model);

// Settling: the muscles rest for half a second, then take up the inspiratory pressure by a half
// cosine over two seconds, and settling ends once the model's time passes 2.5 s.
inline constexpr double kSettlingRiseStart_s = 0.5;
inline constexpr double kSettlingRiseLength_s = 2.0;
inline constexpr double kSettlingTime_s = 2.5;

} // namespace vm::model
