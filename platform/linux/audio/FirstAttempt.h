#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace plinka::audio {

// How a server output's first attempt to reach its server went, handed from the output's thread
// to the thread that waits for it. Inline, so that outputs in a module carry their own copy.
class FirstAttempt {
  public:
    // Output's thread: the first report counts; nullopt when it plays, else the reason.
    void report(std::optional<std::string> error) {
        {
            std::lock_guard lock(mutex_);
            if (outcome_.has_value()) {
                return;
            }
            outcome_ = std::move(error);
        }
        done_.notify_all();
    }
    bool reported() const {
        std::lock_guard lock(mutex_);
        return outcome_.has_value();
    }
    // Reported, and it failed.
    bool failed() const {
        std::lock_guard lock(mutex_);
        return outcome_.has_value() && outcome_->has_value();
    }
    // Waits for the report: nullopt when the output plays, else the reason.
    std::optional<std::string> wait(std::chrono::seconds patience) {
        std::unique_lock lock(mutex_);
        if (!done_.wait_for(lock, patience, [this] { return outcome_.has_value(); })) {
            return "no answer in time";
        }
        return *outcome_;
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable done_;
    std::optional<std::optional<std::string>> outcome_;
};

// The output once its first attempt is reported: null, with the reason in `error`, when that
// failed, unless it keeps trying.
template <typename Output>
std::unique_ptr<Output> afterFirstAttempt(std::unique_ptr<Output> output,
                                          FirstAttempt& firstAttempt, bool keepTrying,
                                          std::string* error) {
    // A server that takes the connection but does not answer is given this long.
    const std::optional<std::string> failure = firstAttempt.wait(std::chrono::seconds(5));
    if (failure && error != nullptr) {
        *error = *failure;
    }
    return !failure || keepTrying ? std::move(output) : nullptr;
}

}  // namespace plinka::audio
