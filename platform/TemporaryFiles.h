#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace plinka {

// The user's temporary directory and fresh unique names for files in it.
class TemporaryFiles {
  public:
    virtual ~TemporaryFiles() = default;
    // The user's temporary directory; nullopt when there is none.
    virtual std::optional<std::string> temporaryDirectory() = 0;
    // A new random UUID in its canonical 36-character upper-case text; nullopt on failure.
    virtual std::optional<std::string> createUuidString() = 0;
};

// Random numbers for picking among variants.
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    // A fresh uniformly distributed 32-bit number.
    virtual uint32_t random32() = 0;
};

}  // namespace plinka
