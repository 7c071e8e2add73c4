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
};

}  // namespace plinka
