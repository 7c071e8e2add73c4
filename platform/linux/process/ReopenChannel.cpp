#include "platform/linux/process/ReopenChannel.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace plinka {

std::string reopenSocketDirectoryFor(const char* runtimeDirectory, uid_t uid) {
    if (runtimeDirectory && *runtimeDirectory) {
        return std::string(runtimeDirectory) + "/plinka";
    }
    // Without a runtime directory the shared /tmp must do; preparePrivateDirectory refuses a
    // directory someone else made there first.
    return "/tmp/plinka-" + std::to_string(uid);
}

std::string reopenSocketDirectory() {
    return reopenSocketDirectoryFor(std::getenv("XDG_RUNTIME_DIR"), geteuid());
}

std::string reopenSocketPath(const std::string& directory, pid_t pid) {
    return directory + "/" + std::to_string(pid) + ".socket";
}

std::optional<sockaddr_un> socketAddress(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        return std::nullopt;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

std::optional<PeerCredentials> peerCredentials(int socket) {
    struct ucred credentials {};
    socklen_t length = sizeof credentials;
    if (getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        length != sizeof credentials) {
        return std::nullopt;
    }
    return PeerCredentials{credentials.pid, credentials.uid};
}

}  // namespace plinka
