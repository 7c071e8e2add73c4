#pragma once

#include <QTcpServer>
#include <QTcpSocket>
#include <string>
#include <vector>

namespace plinka::testing {

// An HTTP server on 127.0.0.1, served by the event loop of the thread that made it, which
// answers every request as the test chose and keeps each request's target (path and query, as
// sent). Its connections end with it.
class LoopbackHttpServer {
  public:
    enum class Answer {
        Body,              // the body, with the status and its length
        Silence,           // reads the request and never answers
        RedirectToItself,  // 302 to the very same target
        DeclaredHugeBody,  // 50 MB declared, then silence
        ChunkedGigabyte,   // 1 GB in chunks, without a declared length
    };

    LoopbackHttpServer();

    // The address of the path on this server.
    std::string url(const std::string& path = "/appcast.xml") const;
    void answer(Answer answer, std::string body = {}, int status = 200);
    const std::vector<std::string>& targets() const { return targets_; }

  private:
    void answerRequest(QTcpSocket& socket, const std::string& target) const;

    QTcpServer server_;
    Answer answer_ = Answer::Body;
    std::string body_;
    int status_ = 200;
    std::vector<std::string> targets_;
};

// The port of a loopback socket that was bound and closed: connections to it are refused.
int refusingPort();

}  // namespace plinka::testing
