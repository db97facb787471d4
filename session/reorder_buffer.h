#pragma once
// Items finished by several threads in any order, handed on in the order of their numbers.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace vm::session {

template <typename Item> class ReorderBuffer {
  public:
    // Item `index` is done; any thread.
    void put(std::size_t index, Item item) {
        {
            const std::lock_guard lock(mutex_);
            pending_.emplace(index, std::move(item));
        }
        ready_.notify_one();
    }

    // Waits at most `wait` for the next item in order, then takes every item that continues the
    // order without a gap.
    std::vector<Item> takeReady(std::chrono::milliseconds wait) {
        std::unique_lock lock(mutex_);
        ready_.wait_for(lock, wait, [this] { return pending_.contains(next_); });
        std::vector<Item> items;
        for (auto it = pending_.find(next_); it != pending_.end(); it = pending_.find(++next_)) {
            items.push_back(std::move(it->second));
            pending_.erase(it);
        }
        return items;
    }

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::map<std::size_t, Item> pending_;
    std::size_t next_ = 0;
};

} // namespace vm::session
