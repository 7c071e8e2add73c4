#pragma once

#include "platform/Application.h"

namespace plinka {

// The Qt application object of the process.
class QtApplication final : public Application {
  public:
    void beep() override;
    void terminate() override;
};

}  // namespace plinka
