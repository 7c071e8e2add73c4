#include "doubles/FakeLoginItems.h"

#include <algorithm>

#include "base/FileUrl.h"

namespace plinka::testing {

namespace {

class FakeLoginItem final : public LoginItem {
  public:
    FakeLoginItem(FakeLoginItems& owner, FakeLoginItems::Entry entry)
        : owner_(owner), entry_(std::move(entry)) {}

    std::optional<std::string> resolvedPath(uint32_t flags) const override {
        owner_.resolutionFlags.push_back(flags);
        if (!owner_.existingPaths.contains(entry_.target)) {
            return std::nullopt;
        }
        return entry_.target;
    }

    int identifier() const { return entry_.identifier; }

  private:
    FakeLoginItems& owner_;
    FakeLoginItems::Entry entry_;
};

}  // namespace

class FakeLoginItemsList final : public LoginItemsList {
  public:
    explicit FakeLoginItemsList(FakeLoginItems& owner) : owner_(owner) {}

    std::vector<std::shared_ptr<const LoginItem>> snapshot() const override {
        std::vector<std::shared_ptr<const LoginItem>> items;
        for (const auto& entry : owner_.entries) {
            items.push_back(std::make_shared<FakeLoginItem>(owner_, entry));
        }
        return items;
    }

    void remove(const LoginItem& item) override {
        const int identifier = dynamic_cast<const FakeLoginItem&>(item).identifier();
        std::erase_if(owner_.entries, [identifier](const FakeLoginItems::Entry& entry) {
            return entry.identifier == identifier;
        });
    }

    bool insertItemURLLast(const std::string& fileUrl) override {
        const auto path = FileUrl::pathOfFileURL(fileUrl);
        if (owner_.insertionFails || !path) {
            return false;
        }
        owner_.append(*path);
        return true;
    }

  private:
    FakeLoginItems& owner_;
};

std::unique_ptr<LoginItemsList> FakeLoginItems::openSessionLoginItems() {
    if (!opens) {
        return nullptr;
    }
    ++opened;
    return std::make_unique<FakeLoginItemsList>(*this);
}

void FakeLoginItems::append(const std::string& target, bool targetExists) {
    entries.push_back({nextIdentifier_++, target});
    if (targetExists) {
        existingPaths.insert(target);
    }
}

std::vector<std::string> FakeLoginItems::targets() const {
    std::vector<std::string> paths;
    for (const auto& entry : entries) {
        paths.push_back(entry.target);
    }
    return paths;
}

}  // namespace plinka::testing
