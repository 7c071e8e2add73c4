#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

extern char** environ;

namespace plinka::testing {

ChildProcess::ChildProcess(const std::string& executable, const Options& options) {
    // Everything the child needs is made before fork: after it only async-signal-safe calls.
    // env(1) sets the variables and then becomes the program, under the same pid.
    std::vector<std::string> arguments{"/usr/bin/env"};
    for (const auto& [key, value] : options.environment) {
        arguments.push_back(key + "=" + value);
    }
    arguments.push_back(executable);
    arguments.insert(arguments.end(), options.arguments.begin(), options.arguments.end());
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    int inputPipe[2], outputPipe[2];
    if (pipe2(inputPipe, O_CLOEXEC) != 0 || pipe2(outputPipe, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    pid_ = fork();
    if (pid_ < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid_ == 0) {
        dup2(inputPipe[0], STDIN_FILENO);
        dup2(outputPipe[1], STDOUT_FILENO);
        if (options.mergeErrors) {
            dup2(outputPipe[1], STDERR_FILENO);
        }
        execve(argv[0], argv.data(), environ);
        _exit(127);
    }
    ::close(inputPipe[0]);
    ::close(outputPipe[1]);
    input_ = inputPipe[1];
    outputFd_ = outputPipe[0];
}

ChildProcess::~ChildProcess() {
    ::close(input_);
    if (!status_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    ::close(outputFd_);
}

bool ChildProcess::fill(std::chrono::steady_clock::time_point deadline) {
    // Rounded up: a poll that ends before the deadline would let waitForExit wait for good.
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd entry{outputFd_, POLLIN, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(std::max<int64_t>(left.count(), 0)));
    if (ready <= 0) {
        return ready < 0 && errno == EINTR;
    }
    char buffer[4096];
    const ssize_t count = ::read(outputFd_, buffer, sizeof buffer);
    if (count <= 0) {
        return false;
    }
    output_.append(buffer, static_cast<size_t>(count));
    return true;
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (const size_t end = output_.find('\n', consumed_); end != std::string::npos) {
            std::string line = output_.substr(consumed_, end - consumed_);
            consumed_ = end + 1;
            return line;
        }
        if (!fill(deadline)) {
            return std::nullopt;
        }
    }
}

int ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    if (status_) {
        return *status_;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (fill(deadline)) {
    }
    if (std::chrono::steady_clock::now() >= deadline) {
        ::kill(pid_, SIGKILL);
    }
    int status = 0;
    ::waitpid(pid_, &status, 0);
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return *status_;
}

}  // namespace plinka::testing
