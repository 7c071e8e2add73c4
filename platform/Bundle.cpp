#include "platform/Bundle.h"

#include "base/FileUrl.h"

namespace plinka {

std::string Bundle::localizedStringForKey(std::string_view key, std::string_view value,
                                          std::string_view /*table*/) const {
    return std::string(value.empty() ? key : value);
}

std::optional<std::string> Bundle::bundleIdentifier() const {
    if (const auto* identifier =
            infoDictionary().objectForKey("CFBundleIdentifier").stringValue()) {
        return *identifier;
    }
    return std::nullopt;
}

std::optional<std::string> Bundle::urlForResource(const std::string& name,
                                                  std::string_view extension) const {
    if (auto path = pathForResource(name, extension)) {
        return FileUrl::fileURLWithPath(*path);
    }
    return std::nullopt;
}

}  // namespace plinka
