#include "platform/linux/process/ReopenListener.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace plinka {

struct ReopenListener::Connection {
    FileDescriptor socket;
    QSocketNotifier* notifier = nullptr;  // a child of context_
    std::string received;
    bool answering = false;
};

std::unique_ptr<ReopenListener> ReopenListener::listen(Handler handler, std::string* error) {
    auto fail = [&](const std::string& reason) {
        if (error) {
            *error = reason;
        }
        return nullptr;
    };
    const std::string directory = reopenSocketDirectory();
    if (!preparePrivateDirectory(directory, error)) {
        return nullptr;
    }
    const std::string path = reopenSocketPath(directory, getpid());
    const auto address = socketAddress(path);
    if (!address) {
        return fail(path + ": path too long for a socket");
    }
    FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socket.valid()) {
        return fail(std::string("socket: ") + std::strerror(errno));
    }
    // Process ids are unique among live processes, so a file at our path is a dead one's.
    ::unlink(path.c_str());
    if (::bind(socket.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 ||
        ::listen(socket.get(), SOMAXCONN) != 0) {
        const std::string reason = path + ": " + std::strerror(errno);
        ::unlink(path.c_str());
        return fail(reason);
    }
    return std::make_unique<ReopenListener>(Key(), std::move(handler), path, std::move(socket));
}

ReopenListener::ReopenListener(Key, Handler handler, std::string path, FileDescriptor socket)
    : handler_(std::move(handler)),
      path_(std::move(path)),
      socket_(std::move(socket)),
      notifier_(std::make_unique<QSocketNotifier>(socket_.get(), QSocketNotifier::Read)),
      context_(std::make_unique<QObject>()) {
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { acceptConnections(); });
}

ReopenListener::~ReopenListener() {
    ::unlink(path_.c_str());
}

void ReopenListener::acceptConnections() {
    for (;;) {
        FileDescriptor peer(
            ::accept4(socket_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!peer.valid()) {
            return;  // EAGAIN: none left; anything else: the peer gave up before we took it
        }
        const auto credentials = peerCredentials(peer.get());
        if (!credentials || credentials->uid != geteuid()) {
            continue;  // closed without an answer
        }
        if (connections_.size() >= kMaxPendingConnections) {
            const auto oldest = std::find_if(connections_.begin(), connections_.end(),
                                             [](const auto& held) { return !held->answering; });
            if (oldest != connections_.end()) {
                dropConnection(oldest->get());
            }
        }
        auto connection = std::make_unique<Connection>();
        connection->socket = std::move(peer);
        connection->notifier =
            new QSocketNotifier(connection->socket.get(), QSocketNotifier::Read, context_.get());
        Connection* raw = connection.get();
        QObject::connect(raw->notifier, &QSocketNotifier::activated, context_.get(),
                         [this, raw] { readRequest(raw); });
        connections_.push_back(std::move(connection));
    }
}

void ReopenListener::readRequest(Connection* connection) {
    char buffer[32];
    const ssize_t count = ::recv(connection->socket.get(), buffer, sizeof buffer, MSG_DONTWAIT);
    if (count < 0 && (errno == EAGAIN || errno == EINTR)) {
        return;
    }
    if (count <= 0) {
        dropConnection(connection);
        return;
    }
    connection->received.append(buffer, static_cast<size_t>(count));
    std::optional<ReopenRequest> request;
    bool partial = false;
    for (ReopenRequest known : kReopenRequests) {
        const std::string_view text = requestText(known);
        request = connection->received == text ? std::optional(known) : request;
        partial = partial || (connection->received.size() < text.size() &&
                              text.starts_with(connection->received));
    }
    if (!request) {
        if (!partial) {
            dropConnection(connection);
        }
        return;
    }
    // The handler may run a nested event loop; this connection must not be read or dropped
    // meanwhile.
    connection->notifier->setEnabled(false);
    connection->answering = true;
    handler_(*request);
    ::send(connection->socket.get(), kReopenReply.data(), kReopenReply.size(), MSG_NOSIGNAL);
    dropConnection(connection);
}

void ReopenListener::dropConnection(Connection* connection) {
    connection->notifier->setEnabled(false);
    connection->notifier->deleteLater();
    std::erase_if(connections_,
                  [connection](const auto& held) { return held.get() == connection; });
}

}  // namespace plinka
