#pragma once

#include <deque>
#include <optional>
#include <string>

#include "platform/TemporaryFiles.h"

namespace plinka::testing {

// A temporary directory the test chooses and UUIDs it can script or make fail.
class FakeTemporaryFiles final : public TemporaryFiles {
  public:
    std::optional<std::string> temporaryDirectory() override { return directory; }
    std::optional<std::string> createUuidString() override;

    std::optional<std::string> directory;
    std::deque<std::optional<std::string>> scriptedUuids;  // used first; then counted UUIDs

  private:
    unsigned counter_ = 0;
};

// Numbers the test scripts, repeating the last one; 0 when none is given.
class ScriptedRandom final : public RandomSource {
  public:
    uint32_t random32() override;
    std::deque<uint32_t> numbers;

  private:
    uint32_t last_ = 0;
};

}  // namespace plinka::testing
