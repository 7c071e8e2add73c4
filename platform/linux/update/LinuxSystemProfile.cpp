#include "platform/linux/update/LinuxSystemProfile.h"

#include <sys/utsname.h>

#include "platform/linux/Localizations.h"

namespace plinka {

std::string LinuxSystemProfile::cpuArchitecture() const {
    struct utsname names {};
    return ::uname(&names) == 0 ? names.machine : "";
}

std::optional<std::string> LinuxSystemProfile::preferredLanguage() const {
    const std::vector<std::string> languages = preferredLanguages();
    return languages.empty() ? std::nullopt : std::optional(languages.front());
}

}  // namespace plinka
