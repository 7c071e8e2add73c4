#pragma once

#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;

namespace plinka {

// Turns SIGTERM, SIGINT and SIGHUP into a call on the thread that installed this (the main
// thread), from its Qt event loop: the signal handler only writes the signal's number to a pipe.
// At most one is installed at a time; the signals take their default course again when it goes.
class TerminationSignals {
  public:
    using Handler = std::function<void(int signal)>;

    // Null, with the reason in `error`, when the pipe or a handler cannot be set up.
    static std::unique_ptr<TerminationSignals> install(Handler handler, std::string* error);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

  private:
    TerminationSignals(Handler handler, int readEnd);
    void deliver();

    Handler handler_;
    int readEnd_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace plinka
