#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Object.h"

namespace plinka {

// An application bundle: its information dictionary and its resources.
class Bundle {
  public:
    virtual ~Bundle() = default;
    // The bundle directory (ends in ".app").
    virtual std::string bundlePath() const = 0;
    // The information dictionary (Info.plist); an empty dictionary when unreadable.
    virtual const Object& infoDictionary() const = 0;
    // The information dictionary's values for the user's language; empty when there are none.
    virtual const Object& localizedInfoDictionary() const = 0;
    // The resource's path, searched in `directory` of the resources. Without a name, the first
    // resource of the type there, in the order pathsForResourcesOfType answers.
    virtual std::optional<std::string> pathForResource(const std::optional<std::string>& name,
                                                       std::string_view type,
                                                       std::string_view directory = {}) const = 0;
    // The paths of every resource of the type in `directory` of the resources, by file name.
    virtual std::vector<std::string> pathsForResourcesOfType(std::string_view type,
                                                             std::string_view directory) const = 0;

    // The translation of `key` in the strings table `table` ("Localizable" when empty) for the
    // user's language; where there is none, `value` when it is not empty, else the key. A
    // bundle without translations answers so for every key.
    virtual std::string localizedStringForKey(std::string_view key, std::string_view value,
                                              std::string_view table) const;

    // The CFBundleIdentifier of the information dictionary.
    std::optional<std::string> bundleIdentifier() const;
    // The file URL of the resource with that name and extension.
    std::optional<std::string> urlForResource(const std::string& name,
                                              std::string_view extension) const;
};

}  // namespace plinka
