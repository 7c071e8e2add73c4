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
    std::vector<std::string> arguments{executable};
    arguments.insert(arguments.end(), options.arguments.begin(), options.arguments.end());
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable) {
        const std::string entry(*variable);
        const std::string name = entry.substr(0, entry.find('='));
        if (std::none_of(options.environment.begin(), options.environment.end(),
                         [&](const auto& replaced) { return replaced.first == name; })) {
            environment.push_back(entry);
        }
    }
    for (const auto& [key, value] : options.environment) {
        environment.push_back(key + "=" + value);
    }
    auto pointers = [](std::vector<std::string>& strings) {
        std::vector<char*> list;
        for (auto& string : strings) {
            list.push_back(string.data());
        }
        list.push_back(nullptr);
        return list;
    };
    std::vector<char*> argv = pointers(arguments), envp = pointers(environment);

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
        execve(argv[0], argv.data(), envp.data());
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
