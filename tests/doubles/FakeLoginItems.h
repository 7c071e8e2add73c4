#pragma once

#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/FileUrl.h"
#include "platform/LoginItemsList.h"

namespace plinka::testing {

// A login-items list in memory, of target paths; an entry resolves while its target is among
// `existingPaths`. The real list is tested in tests/system.
class FakeLoginItems final : public LoginItemsService {
  public:
    std::unique_ptr<LoginItemsList> openSessionLoginItems() override {
        return std::make_unique<List>(*this);
    }
    // The targets in list order.
    const std::vector<std::string>& targets() const { return targets_; }

    std::set<std::string> existingPaths;

  private:
    struct Item final : LoginItem {
        Item(const FakeLoginItems& owner, std::string path)
            : items(owner), target(std::move(path)) {}
        std::optional<std::string> resolvedPath(uint32_t) const override {
            return items.existingPaths.contains(target) ? std::optional(target) : std::nullopt;
        }
        const FakeLoginItems& items;
        std::string target;
    };
    struct List final : LoginItemsList {
        explicit List(FakeLoginItems& owner) : items(owner) {}
        std::vector<std::shared_ptr<const LoginItem>> snapshot() const override {
            std::vector<std::shared_ptr<const LoginItem>> entries;
            for (const std::string& target : items.targets_) {
                entries.push_back(std::make_shared<Item>(items, target));
            }
            return entries;
        }
        void remove(const LoginItem& item) override {
            std::erase(items.targets_, dynamic_cast<const Item&>(item).target);
        }
        bool insertItemURLLast(const std::string& fileUrl) override {
            const auto path = FileUrl::pathOfFileURL(fileUrl);
            if (path) {
                items.targets_.push_back(*path);
                items.existingPaths.insert(*path);
            }
            return path.has_value();
        }
        FakeLoginItems& items;
    };

    std::vector<std::string> targets_;
};

}  // namespace plinka::testing
