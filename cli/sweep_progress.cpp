#include "cli/sweep_progress.h"

#include <cstdio>

namespace vm::cli {

std::string progressLine(std::size_t done, std::size_t total, std::chrono::seconds elapsed) {
    constexpr std::size_t kBarWidth = 20;
    const std::size_t filled = total == 0 ? kBarWidth : done * kBarWidth / total;
    std::string line = "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '-') +
                       "] " + std::to_string(done) + "/" + std::to_string(total) + " points, ";
    if (done == 0)
        return line + "? left";
    const long long left =
        elapsed.count() * static_cast<long long>(total - done) / static_cast<long long>(done);
    char time[32];
    std::snprintf(time, sizeof time, "%lld:%02lld left", left / 60, left % 60);
    return line + time;
}

void SweepProgress::Show(std::size_t done, std::size_t total) {
    if (!enabled_)
        return;
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::steady_clock::now() - started_);
    // Spaces wipe the end of a longer earlier line.
    out_ << '\r' << progressLine(done, total, elapsed) << "    " << std::flush;
    shown_ = true;
}

void SweepProgress::Finish() {
    if (shown_)
        out_ << '\n' << std::flush;
}

} // namespace vm::cli
