#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plinka {

// Resolution flags: never ask the user anything, never mount a volume.
constexpr uint32_t kLoginItemResolveNoUserInteraction = 1;
constexpr uint32_t kLoginItemResolveNoMountVolumes = 2;

// One entry of a login-items list.
class LoginItem {
  public:
    virtual ~LoginItem() = default;
    // The path of the file the entry opens at login; nullopt when it does not resolve (its
    // target is missing or unreachable).
    virtual std::optional<std::string> resolvedPath(uint32_t flags) const = 0;
};

// The user's session login items, open for one operation.
class LoginItemsList {
  public:
    virtual ~LoginItemsList() = default;
    // The entries in order as they are now; changes to the list afterwards leave it as it is.
    virtual std::vector<std::shared_ptr<const LoginItem>> snapshot() const = 0;
    // Removes the entry from the list.
    virtual void remove(const LoginItem& item) = 0;
    // Appends an entry that opens the file at the file URL; false when it could not.
    virtual bool insertItemURLLast(const std::string& fileUrl) = 0;
};

// Opens the user's session login items.
class LoginItemsService {
  public:
    virtual ~LoginItemsService() = default;
    // The list; null when it cannot be opened.
    virtual std::unique_ptr<LoginItemsList> openSessionLoginItems() = 0;
};

}  // namespace plinka
