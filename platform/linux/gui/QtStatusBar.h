#pragma once

#include <memory>

#include "platform/StatusBar.h"
#include "platform/linux/gui/TrayAvailability.h"

namespace plinka {

class Bundle;

// The desktop's tray (the StatusNotifier or XEmbed tray, through QSystemTrayIcon). A hidden item
// shows no icon but keeps its menu, which reopening the application pops up at the pointer. An
// item made while the desktop has no tray shows its icon once a tray appears.
class QtStatusBar final : public StatusBar {
  public:
    explicit QtStatusBar(const Bundle& bundle) : bundle_(bundle) {}

    std::unique_ptr<StatusItem> statusItemWithLength(double length) override;
    void removeStatusItem(StatusItem& item) override;
    // Whether the desktop has a tray now, and its changes.
    TrayAvailability& trays() { return trays_; }

  private:
    const Bundle& bundle_;
    TrayAvailability trays_;
};

}  // namespace plinka
