#pragma once

#include <memory>

#include "platform/StatusBar.h"

namespace plinka {

class Bundle;

// The desktop's tray (the StatusNotifier or XEmbed tray, through QSystemTrayIcon). A hidden item
// shows no icon but keeps its menu, which reopening the application pops up at the pointer.
class QtStatusBar final : public StatusBar {
  public:
    explicit QtStatusBar(const Bundle& bundle) : bundle_(bundle) {}

    std::unique_ptr<StatusItem> statusItemWithLength(double length) override;
    void removeStatusItem(StatusItem& item) override;

  private:
    const Bundle& bundle_;
};

}  // namespace plinka
