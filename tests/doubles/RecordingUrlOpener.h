#pragma once

#include <string>
#include <vector>

#include "platform/UrlOpener.h"

namespace plinka::testing {

// Keeps the URLs it is asked to open.
class RecordingUrlOpener final : public UrlOpener {
  public:
    bool openURL(const std::string& url) override {
        opened.push_back(url);
        return true;
    }

    std::vector<std::string> opened;
};

}  // namespace plinka::testing
