#pragma once

#include <memory>
#include <optional>
#include <string>

namespace plinka {

class Menu;

// One item of the desktop's status area (the tray): an icon, or a hidden item that keeps its
// menu.
class StatusItem {
  public:
    virtual ~StatusItem() = default;
    virtual double length() const = 0;
    // Highlights the item while its menu is open.
    virtual void setHighlightMode(bool highlight) = 0;
    // The bundle image of that name; a template image is drawn in the panel's own colours.
    virtual void setImage(const std::string& imageName, bool isTemplate) = 0;
    // The menu opened from the item; shared, it outlives the item.
    virtual void setMenu(std::shared_ptr<Menu> menu) = 0;
    virtual std::shared_ptr<Menu> menu() const = 0;
    // Opens the menu at the item (or at the pointer when the item shows nothing).
    virtual void popUpStatusItemMenu(const std::shared_ptr<Menu>& menu) = 0;
};

// The desktop's status area.
class StatusBar {
  public:
    virtual ~StatusBar() = default;
    // A new item: a shown icon for a length above one point, else a hidden item.
    virtual std::unique_ptr<StatusItem> statusItemWithLength(double length) = 0;
    // Takes the item off the status area.
    virtual void removeStatusItem(StatusItem& item) = 0;
};

}  // namespace plinka
