#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace plinka::testing {

// Polls a condition that something else makes true until it holds or the time is up; answers
// whether it held. The limit only ends a failing test.
inline bool eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds timeout = std::chrono::seconds(15)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace plinka::testing
