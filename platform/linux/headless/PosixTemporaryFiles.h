#pragma once

#include "platform/TemporaryFiles.h"

namespace plinka {

// A folder of Plinka's own in the session's runtime directory ($XDG_RUNTIME_DIR/plinka), else
// $TMPDIR when it is a folder this user may write in, else /tmp; and version-4 UUIDs from the
// kernel's random source.
class PosixTemporaryFiles final : public TemporaryFiles {
  public:
    std::optional<std::string> temporaryDirectory() override;
    std::optional<std::string> createUuidString() override;
};

// The C library's arc4random.
class Arc4Random final : public RandomSource {
  public:
    uint32_t random32() override;
};

}  // namespace plinka
