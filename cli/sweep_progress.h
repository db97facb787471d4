#pragma once
// The sweep's progress line on a terminal: a bar, the points done and an estimate of the time
// left, redrawn in place. Silent when standard error is no terminal, so that logs stay clean.

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>

namespace vm::cli {

// "[########------------] 12/30 points, 1:05 left"; the time left is "?" until a point is done.
std::string progressLine(std::size_t done, std::size_t total, std::chrono::seconds elapsed);

class SweepProgress {
  public:
    SweepProgress(std::ostream& out, bool enabled)
        : out_(out), enabled_(enabled), started_(std::chrono::steady_clock::now()) {}
    void Show(std::size_t done, std::size_t total);
    // Ends the line, so that what follows starts on its own.
    void Finish();

  private:
    std::ostream& out_;
    bool enabled_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point started_;
};

} // namespace vm::cli
