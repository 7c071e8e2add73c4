#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace plinka::testing {

// A private message bus (a session bus configuration) for as long as the object lives, and no
// longer than the test process: a test that is killed takes its bus along. The address is
// empty when dbus-daemon could not start.
class PrivateBus {
  public:
    PrivateBus() {
        int pipe[2];
        if (::pipe2(pipe, O_CLOEXEC) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            ::dup2(pipe[1], STDOUT_FILENO);
            ::execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--print-address=1",
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(pipe[1]);
        std::FILE* output = ::fdopen(pipe[0], "r");
        char line[512] = {};
        if (pid_ > 0 && output && std::fgets(line, sizeof line, output)) {
            address_ = line;
            address_.erase(address_.find_last_not_of("\n") + 1);
        }
        output ? std::fclose(output) : ::close(pipe[0]);
    }
    ~PrivateBus() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    const std::string& address() const { return address_; }

  private:
    std::string address_;
    pid_t pid_ = -1;
};

}  // namespace plinka::testing
