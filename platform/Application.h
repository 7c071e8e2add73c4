#pragma once

namespace plinka {

// The running application as a whole.
class Application {
  public:
    virtual ~Application() = default;
    // The system's alert sound.
    virtual void beep() = 0;
    // Queues the end of the application: the current call chain finishes first.
    virtual void terminate() = 0;
    // Brings the application's windows to the front.
    virtual void activateIgnoringOtherApps() = 0;
    // Shows the About window, made from the bundle's information, above other windows.
    virtual void orderFrontStandardAboutPanel() = 0;
    // Raises every panel of the application above other windows.
    virtual void raisePanelsAboveAllWindows() = 0;
};

}  // namespace plinka
