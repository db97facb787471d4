#pragma once
// START computes many live frames between two refreshes of the screen. Each is drawn into its
// picture as it comes, but shown only when one refresh interval has passed since the last
// showing, so that no time goes into pictures no one could see; the caller shows the last ones
// when the run ends.

#include <QElapsedTimer>

namespace vm::ui {

class FramePacer {
  public:
    // interval_ms 0 shows every frame.
    explicit FramePacer(double interval_ms) : interval_ms_(interval_ms) { clock_.start(); }

    // True when a frame drawn now would be seen: the interval has passed since the last one shown
    // (or none was shown yet). It then counts as shown.
    bool due() {
        if (shown_ && interval_ms_ > 0 &&
            static_cast<double>(clock_.nsecsElapsed()) * 1e-6 < interval_ms_)
            return false;
        clock_.restart();
        shown_ = true;
        return true;
    }

  private:
    double interval_ms_;
    QElapsedTimer clock_;
    bool shown_ = false;
};

} // namespace vm::ui
