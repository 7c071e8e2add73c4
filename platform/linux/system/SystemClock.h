#pragma once

#include <chrono>

#include "platform/Clock.h"

namespace plinka {

// The system's real-time clock.
class SystemClock final : public Clock {
  public:
    double timeIntervalSinceReferenceDate() const override {
        const auto sinceUnixEpoch = std::chrono::system_clock::now().time_since_epoch();
        return std::chrono::duration<double>(sinceUnixEpoch).count() -
               static_cast<double>(kReferenceDateUnixTime);
    }
};

}  // namespace plinka
