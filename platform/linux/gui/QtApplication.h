#pragma once

#include <functional>
#include <memory>

#include "platform/Application.h"

class QDialog;

namespace plinka {

class Bundle;

// The Qt application object of the process, and its About window.
class QtApplication final : public Application {
  public:
    // The About window shows the bundle's name, version and copyright, and a button that opens
    // the preferences.
    QtApplication(const Bundle& bundle, std::function<void()> showPreferences);
    ~QtApplication() override;
    QtApplication(const QtApplication&) = delete;
    QtApplication& operator=(const QtApplication&) = delete;

    void beep() override;
    void terminate() override;
    void activateIgnoringOtherApps() override;
    void orderFrontStandardAboutPanel() override;
    void raisePanelsAboveAllWindows() override;
    // Whether termination was asked for (it happens when control returns to the event loop).
    bool isTerminating() const { return terminating_; }

  private:
    const Bundle& bundle_;
    bool terminating_ = false;
    std::function<void()> showPreferences_;
    std::unique_ptr<QDialog> about_;
};

}  // namespace plinka
