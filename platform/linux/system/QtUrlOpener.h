#pragma once

#include "platform/UrlOpener.h"

namespace plinka {

// URLs handed to the desktop through Qt (xdg-open and the portal underneath). Needs a Qt GUI
// application object.
class QtUrlOpener final : public UrlOpener {
  public:
    bool openURL(const std::string& url) override;
};

}  // namespace plinka
