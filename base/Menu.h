#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace plinka {

constexpr uint64_t NSAlternateKeyMask = 0x80000;
constexpr uint64_t NSCommandKeyMask = 0x100000;

// One entry of a menu. An item without an action is shown disabled.
struct MenuItem {
    using Action = std::function<void(const MenuItem& sender)>;

    std::string title;
    Action action;
    std::string keyEquivalent;
    uint64_t keyEquivalentModifierMask = NSCommandKeyMask;
    // 1: checked.
    int state = 0;
    // Takes the place of the item before it while its modifiers are held as the menu opens.
    bool alternate = false;
    bool separator = false;

    static MenuItem initWithTitle(std::string title, Action action, std::string keyEquivalent) {
        return MenuItem{std::move(title), std::move(action), std::move(keyEquivalent)};
    }
    static MenuItem separatorItem() {
        MenuItem item;
        item.separator = true;
        return item;
    }
};

// A menu the program fills; the platform only draws it. Its delegate hears each opening first.
class Menu {
  public:
    explicit Menu(std::string title) : title_(std::move(title)) {}

    const std::string& title() const { return title_; }
    // Called each time the menu is about to open, before it is drawn.
    void setDelegate(std::function<void(Menu&)> menuWillOpen) {
        menuWillOpen_ = std::move(menuWillOpen);
    }
    void menuWillOpen() {
        if (menuWillOpen_) {
            menuWillOpen_(*this);
        }
    }

    void removeAllItems() { items_.clear(); }
    void addItem(MenuItem item) { items_.push_back(std::move(item)); }
    const std::vector<MenuItem>& items() const { return items_; }

  private:
    std::string title_;
    std::function<void(Menu&)> menuWillOpen_;
    std::vector<MenuItem> items_;
};

}  // namespace plinka
