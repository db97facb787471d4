#pragma once
// Lines finished by several threads in any order, handed on in the order of their numbers.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace vm::cli {

class ReorderBuffer {
  public:
    // Line `index` is done; any thread.
    void put(std::size_t index, std::string line) {
        {
            const std::lock_guard lock(mutex_);
            pending_.emplace(index, std::move(line));
        }
        ready_.notify_one();
    }

    // Waits at most `wait` for the next line in order, then takes every line that continues the
    // order without a gap.
    std::vector<std::string> takeReady(std::chrono::milliseconds wait) {
        std::unique_lock lock(mutex_);
        ready_.wait_for(lock, wait, [this] { return pending_.contains(next_); });
        std::vector<std::string> lines;
        for (auto it = pending_.find(next_); it != pending_.end(); it = pending_.find(++next_)) {
            lines.push_back(std::move(it->second));
            pending_.erase(it);
        }
        return lines;
    }

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::map<std::size_t, std::string> pending_;
    std::size_t next_ = 0;
};

} // namespace vm::cli
