#include "doubles/FakeBundle.h"

namespace plinka::testing {

std::optional<std::string> FakeBundle::pathForResource(const std::optional<std::string>& name,
                                                       std::string_view type,
                                                       std::string_view directory) const {
    for (const auto& resource : resources_) {
        if (resource.directory == directory && resource.type == type &&
            (!name || resource.name == *name)) {
            return resource.path;
        }
    }
    return std::nullopt;
}

std::vector<std::string> FakeBundle::pathsForResourcesOfType(std::string_view type,
                                                             std::string_view directory) const {
    std::vector<std::string> paths;
    for (const auto& resource : resources_) {
        if (resource.directory == directory && resource.type == type) {
            paths.push_back(resource.path);
        }
    }
    return paths;
}

void FakeBundle::addResource(const std::string& directory, const std::string& name,
                             const std::string& type, const std::string& resourcePath) {
    resources_.push_back({directory, name, type, resourcePath});
}

}  // namespace plinka::testing
