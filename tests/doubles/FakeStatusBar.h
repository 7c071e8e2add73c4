#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/Menu.h"
#include "platform/StatusBar.h"

namespace plinka::testing {

// Status items that remember how they were set up; the test opens their menus.
class FakeStatusBar final : public StatusBar {
  public:
    class Item final : public StatusItem {
      public:
        Item(FakeStatusBar& bar, double length) : bar_(bar), length_(length) {}
        double length() const override { return length_; }
        void setHighlightMode(bool) override {}
        void setImage(const std::string& imageName, bool) override { image = imageName; }
        void setMenu(std::shared_ptr<Menu> menu) override { menu_ = std::move(menu); }
        std::shared_ptr<Menu> menu() const override { return menu_; }
        void popUpStatusItemMenu(const std::shared_ptr<Menu>& menu) override {
            bar_.popUps.push_back(menu.get());
            if (menu) {
                menu->menuWillOpen();
            }
        }

        std::string image;

      private:
        FakeStatusBar& bar_;
        double length_;
        std::shared_ptr<Menu> menu_;
    };

    std::unique_ptr<StatusItem> statusItemWithLength(double length) override {
        auto item = std::make_unique<Item>(*this, length);
        live.push_back(item.get());
        return item;
    }
    void removeStatusItem(StatusItem& item) override { std::erase(live, &item); }

    // The one item on the status area; nullptr when there is none or several.
    Item* only() const { return live.size() == 1 ? static_cast<Item*>(live.front()) : nullptr; }
    // Opens the item's menu as the user would: its delegate rebuilds it first.
    const std::vector<MenuItem>& open() const {
        only()->menu()->menuWillOpen();
        return only()->menu()->items();
    }

    std::vector<StatusItem*> live;
    std::vector<Menu*> popUps;
};

}  // namespace plinka::testing
