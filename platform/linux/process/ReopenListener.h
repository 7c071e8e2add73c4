#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/input/FileDescriptor.h"
#include "platform/linux/process/ReopenChannel.h"

class QObject;
class QSocketNotifier;

namespace plinka {

// The running copy's end of the reopen channel: listens on its socket in the reopen directory,
// answers only processes of the same user, and calls the handler with what was asked on the
// thread that made it (the main thread) before it replies. Removes its socket when destroyed.
class ReopenListener {
  public:
    using Handler = std::function<void(ReopenRequest request)>;

    // Listens on this process's socket (replacing a stale file left there); null, with the
    // reason in `error`, when the directory or the socket cannot be made.
    static std::unique_ptr<ReopenListener> listen(Handler handler, std::string* error = nullptr);
    ~ReopenListener();
    ReopenListener(const ReopenListener&) = delete;
    ReopenListener& operator=(const ReopenListener&) = delete;

    const std::string& socketPath() const { return path_; }

    // Connections that may stay open waiting for their request; the oldest is dropped beyond it.
    static constexpr size_t kMaxPendingConnections = 8;

  private:
    struct Connection;
    // Only listen() makes listeners.
    struct Key {
        explicit Key() = default;
    };

  public:
    ReopenListener(Key, Handler handler, std::string path, FileDescriptor socket);

  private:
    void acceptConnections();
    void readRequest(Connection* connection);
    void dropConnection(Connection* connection);

    Handler handler_;
    std::string path_;
    FileDescriptor socket_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<std::unique_ptr<Connection>> connections_;
    // Parent of the connections' notifiers, which go with deleteLater: a notifier may be let go
    // from its own signal. Declared after the connections so that it goes before their sockets.
    std::unique_ptr<QObject> context_;
};

}  // namespace plinka
