#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/LoginItemsList.h"

namespace plinka {

// The session login items as XDG autostart entries: the ".desktop" files of one folder, in the
// order they were written. An entry resolves to the bundle whose executable its Exec line
// starts, or to that program itself outside a bundle; an entry that is hidden, disabled or whose
// program is missing does not resolve.
class XdgAutostartLoginItems final : public LoginItemsService {
  public:
    explicit XdgAutostartLoginItems(std::optional<std::string> directory)
        : directory_(std::move(directory)) {}

    // $XDG_CONFIG_HOME/autostart, else ~/.config/autostart; nullopt without a home folder.
    static std::optional<std::string> defaultDirectory();

    // Null when there is no folder to keep the entries in.
    std::unique_ptr<LoginItemsList> openSessionLoginItems() override;

  private:
    std::optional<std::string> directory_;
};

}  // namespace plinka
