#pragma once

#include <string>
#include <vector>

#include "platform/Bundle.h"

namespace plinka::testing {

// A bundle whose dictionaries and resource paths the test sets; no files are needed.
class FakeBundle final : public Bundle {
  public:
    std::string bundlePath() const override { return path; }
    const Object& infoDictionary() const override { return info; }
    const Object& localizedInfoDictionary() const override { return localizedInfo; }
    std::optional<std::string> pathForResource(const std::optional<std::string>& name,
                                               std::string_view type,
                                               std::string_view directory) const override;
    std::vector<std::string> pathsForResourcesOfType(std::string_view type,
                                                     std::string_view directory) const override;

    // Adds a resource "<directory>/<name>.<type>" answering at `resourcePath`.
    void addResource(const std::string& directory, const std::string& name, const std::string& type,
                     const std::string& resourcePath);

    std::string path = "/Applications/Plinka.app";
    Object info = Object::dictionary({});
    Object localizedInfo = Object::dictionary({});

  private:
    struct Resource {
        std::string directory, name, type, path;
    };
    std::vector<Resource> resources_;
};

}  // namespace plinka::testing
