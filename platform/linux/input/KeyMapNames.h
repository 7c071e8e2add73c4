#pragma once

#include "platform/KeyNames.h"

namespace plinka {

// Key names from the key map that mapping files use.
class KeyMapNames final : public KeyNames {
  public:
    std::optional<int> keyCodeForName(std::string_view name) const override;
    std::string nameForKeyCode(int keyCode) const override;
    bool typesText(int keyCode) const override;
};

}  // namespace plinka
