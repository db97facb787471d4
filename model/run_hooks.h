#pragma once
// The live calls a run makes while it computes; the user interface connects them. Empty
// functions mean headless: nothing is drawn, shown or sounded.

#include <functional>

namespace vm::model {

struct RunHooks {
    std::function<void()> liveFrameTick;                   // after each volume-time sample
    std::function<void(double runClockTime)> showRunClock; // on the run clock's schedule
    std::function<void()> beep;                            // when the solver gives up
};

} // namespace vm::model
