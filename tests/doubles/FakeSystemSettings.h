#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/SystemSettings.h"

namespace plinka::testing {

// Property-list files the test provides by path, and the login-items scripts it was handed.
class FakeSystemSettings final : public SystemSettings {
  public:
    bool revealLoginItems(const std::string& appleScriptSource) override {
        revealed.push_back(appleScriptSource);
        return true;
    }
    Object dictionaryWithContentsOfFile(const std::string& path) override {
        const auto found = files.find(path);
        return found == files.end() ? Object() : found->second;
    }

    std::map<std::string, Object> files;
    std::vector<std::string> revealed;
};

}  // namespace plinka::testing
