#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace plinka::testing {

// An HTTP server on 127.0.0.1 with a thread of its own, which answers every request as the test
// chose and keeps each request's target (path and query, as sent).
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
    // Ends the thread and closes every connection.
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // The address of the path on this server.
    std::string url(const std::string& path = "/appcast.xml") const;
    void answer(Answer answer, std::string body = {}, int status = 200);
    std::vector<std::string> targets() const;

  private:
    void serve();
    void answerConnection(int connection);

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    Answer answer_ = Answer::Body;
    std::string body_;
    int status_ = 200;
    std::vector<std::string> targets_;
    std::thread thread_;
};

// The port of a loopback socket that was bound and closed: connections to it are refused.
int refusingPort();

}  // namespace plinka::testing
