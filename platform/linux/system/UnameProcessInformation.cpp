#include "platform/linux/system/UnameProcessInformation.h"

#include <sys/utsname.h>

#include <QString>
#include <QSysInfo>
#include <array>
#include <charconv>

#include "base/ShellQuoting.h"

namespace plinka {

OperatingSystemVersion UnameProcessInformation::versionOfRelease(std::string_view release) {
    std::array<int64_t, 3> parts{};
    const char* position = release.data();
    const char* end = release.data() + release.size();
    for (size_t i = 0; i < parts.size(); ++i) {
        const auto [next, error] = std::from_chars(position, end, parts[i]);
        if (error != std::errc() || next == end || *next != '.') {
            break;
        }
        position = next + 1;
    }
    return {parts[0], parts[1], parts[2]};
}

std::optional<OperatingSystemVersion> UnameProcessInformation::operatingSystemVersion() const {
    struct utsname names {};
    if (::uname(&names) != 0) {
        return OperatingSystemVersion{};
    }
    return versionOfRelease(names.release);
}

std::string UnameProcessInformation::operatingSystemVersionString() const {
    struct utsname names {};
    if (::uname(&names) != 0) {
        return QSysInfo::prettyProductName().toStdString();
    }
    const std::string kernel = std::string(names.sysname) + " " + names.release;
    // Without a distribution's name Qt answers the kernel's, which would then stand twice.
    const std::string distribution = QSysInfo::prettyProductName().toStdString();
    return distribution.empty() || distribution == kernel ? kernel : distribution + ", " + kernel;
}

std::string UnameProcessInformation::machineIdentifierCommand() const {
    const std::string path = shellQuoted(machineIdPath_);
    // The digest tool prints "SHA1(stdin)= <hex>"; the identifier is the hexadecimal part.
    return "test -s " + path + " && digest=$(openssl sha1 < " + path +
           ") && printf '%s\\n' \"${digest##* }\"";
}

}  // namespace plinka
