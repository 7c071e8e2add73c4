#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "base/Log.h"

namespace plinka::testing {

// Keeps every line logged, from any thread.
class RecordingLog final : public Log {
  public:
    void log(std::string_view message) override {
        std::lock_guard lock(mutex_);
        lines_.emplace_back(message);
    }
    std::vector<std::string> lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        lines_.clear();
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

}  // namespace plinka::testing
