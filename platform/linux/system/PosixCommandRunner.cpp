#include "platform/linux/system/PosixCommandRunner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>

extern char** environ;

namespace plinka {

namespace {

// Closes the descriptor when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

  private:
    int fd_;
};

// Spawn file actions, destroyed with the scope.
class FileActions {
  public:
    FileActions() { ok_ = ::posix_spawn_file_actions_init(&actions_) == 0; }
    ~FileActions() {
        if (ok_) {
            ::posix_spawn_file_actions_destroy(&actions_);
        }
    }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    posix_spawn_file_actions_t* get() { return ok_ ? &actions_ : nullptr; }

  private:
    posix_spawn_file_actions_t actions_{};
    bool ok_ = false;
};

int terminationStatus(int waitStatus) {
    if (WIFEXITED(waitStatus)) {
        return WEXITSTATUS(waitStatus);
    }
    if (WIFSIGNALED(waitStatus)) {
        return 128 + WTERMSIG(waitStatus);
    }
    return -1;
}

}  // namespace

CommandResult PosixCommandRunner::runShellCommand(const std::string& command) {
    std::array<int, 2> ends{};
    if (::pipe2(ends.data(), O_CLOEXEC) != 0) {
        return {};
    }
    Descriptor readEnd(ends[0]);
    Descriptor writeEnd(ends[1]);

    FileActions actions;
    posix_spawn_file_actions_t* fileActions = actions.get();
    if (fileActions == nullptr ||
        ::posix_spawn_file_actions_addopen(fileActions, STDIN_FILENO, "/dev/null", O_RDONLY, 0) !=
            0 ||
        ::posix_spawn_file_actions_adddup2(fileActions, writeEnd.get(), STDOUT_FILENO) != 0 ||
        ::posix_spawn_file_actions_adddup2(fileActions, writeEnd.get(), STDERR_FILENO) != 0) {
        return {};
    }
    std::string shell = "/bin/sh", option = "-c", script = command;
    std::array<char*, 4> arguments{shell.data(), option.data(), script.data(), nullptr};
    pid_t child = 0;
    if (::posix_spawn(&child, "/bin/sh", fileActions, nullptr, arguments.data(), environ) != 0) {
        return {};
    }
    // Only the child may hold the writing end, or the read below would never see its end.
    writeEnd.reset();

    // Read while the child runs: a child that fills the pipe would otherwise never exit.
    CommandResult result;
    std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t count = ::read(readEnd.get(), buffer.data(), buffer.size());
        if (count > 0) {
            result.output.append(buffer.data(), static_cast<size_t>(count));
        } else if (count == 0 || errno != EINTR) {
            break;
        }
    }
    int waitStatus = 0;
    while (::waitpid(child, &waitStatus, 0) < 0) {
        if (errno != EINTR) {
            return {};
        }
    }
    result.terminationStatus = terminationStatus(waitStatus);
    return result;
}

bool PosixCommandRunner::startShellCommand(const std::string& command) {
    FileActions actions;
    posix_spawn_file_actions_t* fileActions = actions.get();
    posix_spawnattr_t attributes{};
    if (fileActions == nullptr || ::posix_spawnattr_init(&attributes) != 0) {
        return false;
    }
    // Its own session, so that it outlives this process's terminal and process group; nothing
    // of this process's open files, so that it holds no pipe or socket of ours open.
    const bool prepared =
        ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID) == 0 &&
        ::posix_spawn_file_actions_addopen(fileActions, STDIN_FILENO, "/dev/null", O_RDONLY, 0) ==
            0 &&
        ::posix_spawn_file_actions_addopen(fileActions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0) ==
            0 &&
        ::posix_spawn_file_actions_adddup2(fileActions, STDOUT_FILENO, STDERR_FILENO) == 0 &&
        ::posix_spawn_file_actions_addclosefrom_np(fileActions, STDERR_FILENO + 1) == 0;
    std::string shell = "/bin/sh", option = "-c", script = command;
    std::array<char*, 4> arguments{shell.data(), option.data(), script.data(), nullptr};
    pid_t child = 0;
    const bool started = prepared && ::posix_spawn(&child, "/bin/sh", fileActions, &attributes,
                                                   arguments.data(), environ) == 0;
    ::posix_spawnattr_destroy(&attributes);
    return started;
}

}  // namespace plinka
