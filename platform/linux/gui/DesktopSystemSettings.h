#pragma once

#include "platform/SystemSettings.h"

namespace plinka {

// The Linux desktop's settings: the startup-applications tool when one is installed, else the
// XDG autostart folder in the file manager.
class DesktopSystemSettings final : public SystemSettings {
  public:
    bool revealLoginItems(const std::string& appleScriptSource) override;
    Object dictionaryWithContentsOfFile(const std::string& path) override;
};

}  // namespace plinka
