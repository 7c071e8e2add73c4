#pragma once

#include <string>

#include "base/Object.h"

namespace plinka {

// The desktop's own settings and the property-list files the program reads whole.
class SystemSettings {
  public:
    virtual ~SystemSettings() = default;
    // Shows where the user manages the applications started at login. The macOS layer runs the
    // given AppleScript source; others open their desktop's equivalent. False when nothing opened.
    virtual bool revealLoginItems(const std::string& appleScriptSource) = 0;
    // The dictionary stored in the property-list file; Nil when it is missing or unreadable.
    virtual Object dictionaryWithContentsOfFile(const std::string& path) = 0;
};

}  // namespace plinka
