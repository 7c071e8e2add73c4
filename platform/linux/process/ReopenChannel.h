#pragma once

#include <sys/types.h>
#include <sys/un.h>

#include <optional>
#include <string>
#include <string_view>

namespace plinka {

// What a later copy sends over a running copy's reopen socket, and the answer it waits for.
inline constexpr std::string_view kReopenRequest = "reopen\n";
inline constexpr std::string_view kReopenReply = "reopened\n";

// The directory of the reopen sockets: <runtimeDirectory>/plinka, or /tmp/plinka-<uid> without
// a runtime directory (unset or empty).
std::string reopenSocketDirectoryFor(const char* runtimeDirectory, uid_t uid);
// The directory for this user, from $XDG_RUNTIME_DIR.
std::string reopenSocketDirectory();

// Whether the directory is a real directory (no link) of this user that no one else may enter.
bool isPrivateDirectory(const std::string& directory);
// Makes the directory (0700) or takes an existing one of this user's, closing it to others;
// false, with the reason in `error`, when it is missing and cannot be made, or someone else's.
bool preparePrivateDirectory(const std::string& directory, std::string* error);

// The socket the process listens on for reopen requests.
std::string reopenSocketPath(const std::string& directory, pid_t pid);

// The address of the socket at `path`; nullopt when the path is too long for one.
std::optional<sockaddr_un> socketAddress(const std::string& path);

// Who is at the other end of a connected Unix socket (as of its connect or listen).
struct PeerCredentials {
    pid_t pid = 0;
    uid_t uid = 0;
};
std::optional<PeerCredentials> peerCredentials(int socket);

}  // namespace plinka
