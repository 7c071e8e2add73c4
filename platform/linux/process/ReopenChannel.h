#pragma once

#include <sys/types.h>
#include <sys/un.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/linux/headless/PrivateDirectory.h"

namespace plinka {

// What a later copy asks of the running one: to reopen (it pops up its menu), to show its
// Preferences window, or to mute, unmute or flip the mute switch. Copies that know only the
// first close the connection on the others without an answer; a later copy then asks them to
// reopen instead of showing the Preferences.
enum class ReopenRequest { Reopen, ShowPreferences, Mute, Unmute, ToggleMute };
inline constexpr std::array kReopenRequests{ReopenRequest::Reopen, ReopenRequest::ShowPreferences,
                                            ReopenRequest::Mute, ReopenRequest::Unmute,
                                            ReopenRequest::ToggleMute};

// What a later copy sends over a running copy's reopen socket, and the answer it waits for.
inline constexpr std::string_view kReopenRequest = "reopen\n";
inline constexpr std::string_view kReopenReply = "reopened\n";

constexpr std::string_view requestText(ReopenRequest request) {
    switch (request) {
        case ReopenRequest::ShowPreferences:
            return "preferences\n";
        case ReopenRequest::Mute:
            return "mute\n";
        case ReopenRequest::Unmute:
            return "unmute\n";
        case ReopenRequest::ToggleMute:
            return "toggle-mute\n";
        case ReopenRequest::Reopen:
            break;
    }
    return kReopenRequest;
}

// The directory of the reopen sockets: <runtimeDirectory>/plinka, or /tmp/plinka-<uid> without
// a runtime directory (unset or empty).
std::string reopenSocketDirectoryFor(const char* runtimeDirectory, uid_t uid);
// The directory for this user, from $XDG_RUNTIME_DIR.
std::string reopenSocketDirectory();

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
