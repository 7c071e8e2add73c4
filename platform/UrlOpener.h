#pragma once

#include <string>

namespace plinka {

// Opens URLs in the desktop's preferred application (mail client, file manager, browser).
class UrlOpener {
  public:
    virtual ~UrlOpener() = default;
    // Hands the URL to the application for its scheme; false when none took it.
    virtual bool openURL(const std::string& url) = 0;
};

}  // namespace plinka
