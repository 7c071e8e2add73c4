#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/LoginItemsList.h"

namespace plinka::testing {

// A login-items list in memory. An entry resolves to its target while the target is among
// `existingPaths`; each resolution's flags are kept.
class FakeLoginItems final : public LoginItemsService {
  public:
    struct Entry {
        int identifier;
        std::string target;
    };

    std::unique_ptr<LoginItemsList> openSessionLoginItems() override;

    // Adds an entry at the end whose target exists.
    void append(const std::string& target, bool targetExists = true);
    // The targets in list order.
    std::vector<std::string> targets() const;

    std::vector<Entry> entries;
    std::set<std::string> existingPaths;
    bool opens = true;
    bool insertionFails = false;
    std::vector<uint32_t> resolutionFlags;
    int opened = 0;

  private:
    int nextIdentifier_ = 1;
};

}  // namespace plinka::testing
