#include "platform/linux/headless/PosixTemporaryFiles.h"

#include <unistd.h>

#include <sys/random.h>
#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <cstdlib>

#include "platform/linux/headless/PrivateDirectory.h"

namespace plinka {

namespace {

bool isWritableDirectory(const char* path) {
    struct stat info {};
    return path != nullptr && *path == '/' && ::stat(path, &info) == 0 && S_ISDIR(info.st_mode) &&
           ::access(path, W_OK | X_OK) == 0;
}

std::string withSlash(std::string directory) {
    return directory.back() == '/' ? directory : directory + '/';
}

}  // namespace

std::optional<std::string> PosixTemporaryFiles::temporaryDirectory() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); isWritableDirectory(runtime)) {
        const std::string own = withSlash(runtime) + "plinka";
        if (preparePrivateDirectory(own, nullptr)) {
            return own + '/';
        }
    }
    if (const char* variable = std::getenv("TMPDIR"); isWritableDirectory(variable)) {
        return withSlash(variable);
    }
    if (isWritableDirectory("/tmp")) {
        return "/tmp/";
    }
    return std::nullopt;
}

std::optional<std::string> PosixTemporaryFiles::createUuidString() {
    std::array<unsigned char, 16> bytes{};
    if (::getrandom(bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
        return std::nullopt;
    }
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);  // version 4
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    std::array<char, 37> text{};
    std::snprintf(text.data(), text.size(),
                  "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", bytes[0],
                  bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8],
                  bytes[9], bytes[10], bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
    return std::string(text.data());
}

uint32_t Arc4Random::random32() {
    return ::arc4random();
}

}  // namespace plinka
