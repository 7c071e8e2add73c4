#pragma once

#include <cstdint>

namespace plinka {

// The reference date of dates, 2001-01-01 00:00:00 UTC, in seconds since the Unix epoch.
constexpr int64_t kReferenceDateUnixTime = 978307200;

// The current date, as dates are kept in the defaults: seconds since 2001-01-01 00:00:00 UTC.
class Clock {
  public:
    virtual ~Clock() = default;
    // Now, on the system's wall clock.
    virtual double timeIntervalSinceReferenceDate() const = 0;
};

}  // namespace plinka
