#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace plinka::testing {

// A program run with pipes on its standard input and output; killed and reaped when let go.
class ChildProcess {
  public:
    struct Options {
        std::vector<std::string> arguments = {};
        // Variables set (or replaced) in the child's copy of this process's environment.
        std::vector<std::pair<std::string, std::string>> environment = {};
        // Sends its standard error into the same pipe as its output (log lines).
        bool mergeErrors = false;
    };
    static constexpr std::chrono::milliseconds kPatience{10000};

    ChildProcess(const std::string& executable, const Options& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    // The next line of its output without the newline; nullopt at its end or after the time.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout = kPatience);
    // Reads the rest of the output and reaps the child: its exit status, or 128 + the signal
    // that ended it (the child is killed when it outlasts the time).
    int waitForExit(std::chrono::milliseconds timeout = kPatience);
    // Every line read so far and what is left unread, newline-separated.
    const std::string& output() const { return output_; }

  private:
    bool fill(std::chrono::steady_clock::time_point deadline);

    pid_t pid_ = -1;
    int input_ = -1;
    int outputFd_ = -1;
    std::string output_;
    size_t consumed_ = 0;
    std::optional<int> status_;
};

}  // namespace plinka::testing
