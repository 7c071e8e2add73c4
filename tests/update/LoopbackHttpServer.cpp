#include "LoopbackHttpServer.h"

#include <memory>

namespace plinka::testing {

LoopbackHttpServer::LoopbackHttpServer() {
    server_.listen(QHostAddress::LocalHost);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
        QTcpSocket* socket = server_.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            const QByteArray request = socket->peek(socket->bytesAvailable());
            if (!request.contains("\r\n\r\n")) {
                return;
            }
            socket->readAll();
            targets_.push_back(request.split(' ').value(1).toStdString());
            answerRequest(*socket, targets_.back());
        });
    });
}

std::string LoopbackHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(server_.serverPort()) + path;
}

void LoopbackHttpServer::answer(Answer answer, std::string body, int status) {
    answer_ = answer;
    body_ = std::move(body);
    status_ = status;
}

void LoopbackHttpServer::answerRequest(QTcpSocket& socket, const std::string& target) const {
    const auto send = [&](const std::string& data) { socket.write(data.data(), data.size()); };
    switch (answer_) {
        case Answer::Body:
            send("HTTP/1.1 " + std::to_string(status_) +
                 " Answer\r\nContent-Type: application/rss+xml\r\nContent-Length: " +
                 std::to_string(body_.size()) + "\r\nConnection: close\r\n\r\n" + body_);
            socket.disconnectFromHost();
            return;
        case Answer::DeclaredHugeBody:
            // The header alone: its length must end the fetch before any body comes.
            send("HTTP/1.1 200 OK\r\nContent-Length: 52428800\r\n\r\n");
            return;
        case Answer::Silence:
            return;
        case Answer::RedirectToItself:
            send("HTTP/1.1 302 Found\r\nLocation: " + target +
                 "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            socket.disconnectFromHost();
            return;
        case Answer::ChunkedGigabyte: {
            send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n");
            // A 64 KiB chunk each time the last has gone, until the client hangs up, which it
            // must long before the end.
            auto left = std::make_shared<int>(1 << 14);
            const QByteArray chunk = "10000\r\n" + QByteArray(0x10000, 'x') + "\r\n";
            QObject::connect(&socket, &QTcpSocket::bytesWritten, &socket, [&socket, left, chunk] {
                if (*left >= 0 && socket.bytesToWrite() == 0) {
                    socket.write((*left)-- > 0 ? chunk : QByteArray("0\r\n\r\n"));
                }
            });
            return;
        }
    }
}

int refusingPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

}  // namespace plinka::testing
