#pragma once

#include "platform/SystemAttributes.h"

namespace plinka {

// Linux has no attribute service: every selector is unknown. The version query never asks it,
// since the process information always answers with the kernel's release.
class UnavailableSystemAttributes final : public SystemAttributes {
  public:
    // The service's "undefined selector" error.
    static constexpr int16_t kUndefinedSelector = -5551;

    int16_t attribute(uint32_t, int32_t*) const override { return kUndefinedSelector; }
};

}  // namespace plinka
