#pragma once

#include "platform/Clock.h"

namespace plinka::testing {

// A clock that shows what the test sets and moves only when the test moves it.
class FakeClock final : public Clock {
  public:
    double timeIntervalSinceReferenceDate() const override { return now; }
    void advance(double seconds) { now += seconds; }

    double now = 786839400.0;  // 2025-12-07 22:30:00 UTC
};

}  // namespace plinka::testing
