#include "defaults/DefaultsDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/linux/plist/PropertyList.h"

namespace plinka::testing {

std::vector<std::string> DefaultsDirectory::entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string xmlPlist(const Object::Dictionary& entries) {
    auto bytes = writeXmlPropertyList(Object::dictionary(entries));
    EXPECT_TRUE(bytes.has_value());
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

}  // namespace plinka::testing
