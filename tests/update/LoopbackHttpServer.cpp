#include "LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace plinka::testing {

namespace {

constexpr size_t kHugeBody = 50 * 1024 * 1024;

// A socket on 127.0.0.1 and an ephemeral port; its port in `port`.
int boundLoopbackSocket(int* port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot bind a loopback socket");
    }
    *port = ntohs(address.sin_port);
    return fd;
}

// Waits up to 50 ms for the descriptor to become readable.
bool readable(int fd) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, 50) > 0;
}

bool sendAll(int fd, const std::string& data) {
    for (size_t sent = 0; sent < data.size();) {
        const ssize_t written = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (written <= 0) {
            return false;
        }
        sent += static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
    listener_ = boundLoopbackSocket(&port_);
    ::listen(listener_, 8);
    thread_ = std::thread([this] { serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stopping_ = true;
    thread_.join();
    ::close(listener_);
}

std::string LoopbackHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void LoopbackHttpServer::answer(Answer answer, std::string body, int status) {
    std::lock_guard lock(mutex_);
    answer_ = answer;
    body_ = std::move(body);
    status_ = status;
}

std::vector<std::string> LoopbackHttpServer::targets() const {
    std::lock_guard lock(mutex_);
    return targets_;
}

void LoopbackHttpServer::serve() {
    while (!stopping_) {
        if (!readable(listener_)) {
            continue;
        }
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection >= 0) {
            answerConnection(connection);
            ::close(connection);
        }
    }
}

void LoopbackHttpServer::answerConnection(int connection) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        if (stopping_) {
            return;
        }
        if (!readable(connection)) {
            continue;
        }
        const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
        if (got <= 0) {
            return;
        }
        request.append(buffer, static_cast<size_t>(got));
    }
    const size_t start = request.find(' ') + 1;
    const std::string target = request.substr(start, request.find(' ', start) - start);
    std::unique_lock lock(mutex_);
    targets_.push_back(target);
    const Answer answer = answer_;
    const std::string body = body_;
    const int status = status_;
    lock.unlock();

    switch (answer) {
        case Answer::Body:
            sendAll(connection, "HTTP/1.1 " + std::to_string(status) +
                                    " Answer\r\nContent-Type: application/rss+xml\r\n"
                                    "Content-Length: " +
                                    std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
                                    body);
            return;
        case Answer::DeclaredHugeBody:
            // The header alone: its length must end the fetch before any body comes.
            sendAll(connection,
                    "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kHugeBody) + "\r\n\r\n");
            [[fallthrough]];
        case Answer::Silence:
            // Until the client gives up: it closes, and the read sees the end.
            while (!stopping_ && (!readable(connection) || ::recv(connection, buffer, 1, 0) > 0)) {
            }
            return;
        case Answer::RedirectToItself:
            sendAll(connection, "HTTP/1.1 302 Found\r\nLocation: " + target +
                                    "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            return;
        case Answer::ChunkedGigabyte: {
            const std::string chunk = "10000\r\n" + std::string(0x10000, 'x') + "\r\n";
            bool open = sendAll(connection,
                                "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n"
                                "Connection: close\r\n\r\n");
            // Until the client hangs up, which it must long before the end.
            for (size_t sent = 0; open && sent < (size_t{1} << 30) && !stopping_; sent += 0x10000) {
                open = sendAll(connection, chunk);
            }
            sendAll(connection, "0\r\n\r\n");
            return;
        }
    }
}

int refusingPort() {
    int port = 0;
    ::close(boundLoopbackSocket(&port));
    return port;
}

}  // namespace plinka::testing
