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

namespace {

enum class DirectoryState { Missing, Private, OpenToOthers, NotOurs };

DirectoryState directoryState(const std::string& directory) {
    struct stat status {};
    if (lstat(directory.c_str(), &status) != 0) {
        return DirectoryState::Missing;
    }
    if (!S_ISDIR(status.st_mode) || status.st_uid != geteuid()) {
        return DirectoryState::NotOurs;
    }
    return (status.st_mode & 077) ? DirectoryState::OpenToOthers : DirectoryState::Private;
}

}  // namespace

bool isPrivateDirectory(const std::string& directory) {
    return directoryState(directory) == DirectoryState::Private;
}

bool preparePrivateDirectory(const std::string& directory, std::string* error) {
    auto fail = [&](const std::string& reason) {
        if (error) {
            *error = directory + ": " + reason;
        }
        return false;
    };
    switch (directoryState(directory)) {
        case DirectoryState::Private:
            return true;
        case DirectoryState::Missing:
            if (mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) {
                return fail(std::strerror(errno));
            }
            // Made by us or, in a race, by someone else: look again.
            if (!isPrivateDirectory(directory)) {
                return fail("not a private directory of this user");
            }
            return true;
        case DirectoryState::OpenToOthers:
            if (chmod(directory.c_str(), 0700) != 0) {
                return fail(std::strerror(errno));
            }
            return true;
        case DirectoryState::NotOurs:
            break;
    }
    return fail("not a directory of this user");
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
