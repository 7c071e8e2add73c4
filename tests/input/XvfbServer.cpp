#include "XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "platform/linux/input/FileDescriptor.h"

extern char** environ;

namespace plinka::testing {

namespace {

pid_t spawn(const std::vector<std::string>& arguments, posix_spawn_file_actions_t* actions) {
    std::vector<char*> argv;
    for (const auto& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    return posix_spawnp(&pid, argv[0], actions, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

}  // namespace

std::string programPath(const std::string& program) {
    std::istringstream path(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "");
    for (std::string directory; std::getline(path, directory, ':');) {
        const std::string candidate = directory + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

bool installed(const std::string& program) {
    return !programPath(program).empty();
}

XvfbServer::XvfbServer(const std::string& screen) {
    if (!installed("Xvfb")) {
        return;
    }
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        return;
    }
    FileDescriptor reader(ends[0]);
    FileDescriptor writer(ends[1]);
    // Xvfb writes the display number it picked to descriptor 3 once it accepts clients.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, writer.get(), 3);
    // None of the test's output: a server outliving a crashed test must not hold it open.
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    _pid =
        spawn({"Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-noreset", "-screen", "0", screen},
              &actions);
    posix_spawn_file_actions_destroy(&actions);
    writer.reset();
    std::string number;
    char c = 0;
    pollfd ready{reader.get(), POLLIN, 0};
    while (_pid > 0 && ::poll(&ready, 1, 20000) == 1 && ::read(reader.get(), &c, 1) == 1 &&
           c != '\n') {
        number += c;
    }
    if (number.empty()) {
        kill();
        return;
    }
    _display = ":" + number;
}

XvfbServer::~XvfbServer() {
    kill();
}

void XvfbServer::kill() {
    if (_pid > 0) {
        ::kill(_pid, SIGKILL);
        ::waitpid(_pid, nullptr, 0);
        _pid = -1;
    }
}

bool runOnDisplay(const std::string& display, const std::vector<std::string>& arguments) {
    std::vector<std::string> command{"env", "DISPLAY=" + display};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const pid_t pid = spawn(command, nullptr);
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

}  // namespace plinka::testing
