#pragma once

#include <map>
#include <string>

#include "platform/SystemSettings.h"

namespace plinka::testing {

// Property-list files the test provides by path.
class FakeSystemSettings final : public SystemSettings {
  public:
    bool revealLoginItems(const std::string&) override { return true; }
    Object dictionaryWithContentsOfFile(const std::string& path) override {
        const auto found = files.find(path);
        return found == files.end() ? Object() : found->second;
    }

    std::map<std::string, Object> files;
};

}  // namespace plinka::testing
