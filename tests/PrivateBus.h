#pragma once

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace plinka::testing {

// A private message bus (a session bus configuration) for as long as the object lives; its
// address is empty when dbus-daemon could not start it.
class PrivateBus {
  public:
    PrivateBus() {
        std::FILE* output =
            ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1", "r");
        char line[512] = {};
        if (output && std::fgets(line, sizeof line, output)) {
            address_ = line;
            address_.erase(address_.find_last_not_of("\n") + 1);
            if (std::fgets(line, sizeof line, output)) {
                pid_ = std::atoi(line);
            }
        }
        if (output) {
            ::pclose(output);
        }
    }
    ~PrivateBus() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
        }
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    const std::string& address() const { return address_; }

  private:
    std::string address_;
    int pid_ = 0;
};

}  // namespace plinka::testing
