#pragma once

#include <string>
#include <vector>

#include "platform/UrlOpener.h"

namespace plinka::testing {

// Keeps the URLs it is asked to open and answers `opens`.
class RecordingUrlOpener final : public UrlOpener {
  public:
    bool openURL(const std::string& url) override {
        opened.push_back(url);
        return opens;
    }

    std::vector<std::string> opened;
    bool opens = true;
};

}  // namespace plinka::testing
