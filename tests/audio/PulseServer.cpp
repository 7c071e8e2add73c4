#include "PulseServer.h"

#include <pulse/pulseaudio.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "XvfbServer.h"

namespace plinka::testing {
namespace {

using namespace std::chrono_literals;

bool accepts(const std::string& socketPath) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    const bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

// Runs a main loop until the context is ready and `ask` has put an answer in `done`.
template <typename Ask>
bool askServer(const std::string& address, Ask ask) {
    pa_mainloop* loop = pa_mainloop_new();
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "plinka-test");
    bool done = false;
    bool asked = false;
    if (pa_context_connect(context, address.c_str(), PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!done && std::chrono::steady_clock::now() < deadline) {
            const pa_context_state_t state = pa_context_get_state(context);
            if (!PA_CONTEXT_IS_GOOD(state)) {
                break;
            }
            if (state == PA_CONTEXT_READY && !asked) {
                ask(context, &done);
                asked = true;
            }
            pa_mainloop_iterate(loop, 0, nullptr);
            std::this_thread::sleep_for(1ms);
        }
    }
    pa_context_disconnect(context);
    pa_context_unref(context);
    pa_mainloop_free(loop);
    return done;
}

}  // namespace

PulseServer::PulseServer(const std::string& directory) : directory_(directory) {
    namespace fs = std::filesystem;
    fs::create_directories(directory_ + "/home");
    fs::create_directories(directory_ + "/runtime");
    fs::permissions(directory_ + "/runtime", fs::perms::owner_all);
    std::ofstream(directory_ + "/server.pa")
        << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << directory_
        << "/native\n"
        << "load-module module-null-sink sink_name=" << kSink
        << " format=float32le rate=48000 channels=2\n"
        << "set-default-sink " << kSink << "\n"
        << "load-module module-suspend-on-idle timeout=1\n";
    start();
}

PulseServer::~PulseServer() = default;

std::string PulseServer::address() const {
    return "unix:" + directory_ + "/native";
}

void PulseServer::kill() {
    server_.reset();
}

bool PulseServer::start() {
    server_.reset();
    const std::string program = programPath("pulseaudio");
    if (program.empty()) {
        return false;
    }
    ChildProcess::Options options;
    options.arguments = {"-n",
                         "--daemonize=no",
                         "--exit-idle-time=-1",
                         "--use-pid-file=no",
                         "--disallow-exit",
                         "--log-target=file:" + directory_ + "/server.log",
                         "-F",
                         directory_ + "/server.pa"};
    options.environment = {
        {"HOME", directory_ + "/home"},
        {"XDG_RUNTIME_DIR", directory_ + "/runtime"},
        {"XDG_CONFIG_HOME", directory_ + "/home"},
        {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/plinka-session-bus"},
        {"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/plinka-system-bus"},
    };
    server_ = std::make_unique<ChildProcess>(program, options);
    const auto deadline = std::chrono::steady_clock::now() + 15s;
    while (!accepts(directory_ + "/native")) {
        if (std::chrono::steady_clock::now() > deadline) {
            server_.reset();
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

std::optional<std::string> PulseServer::sinkState() const {
    struct Query {
        std::optional<std::string> state;
        bool* done = nullptr;
    } query;
    askServer(address(), [&query](pa_context* context, bool* done) {
        query.done = done;
        pa_operation_unref(pa_context_get_sink_info_by_name(
            context, kSink,
            [](pa_context*, const pa_sink_info* info, int end, void* data) {
                auto* asked = static_cast<Query*>(data);
                if (info != nullptr) {
                    asked->state = info->state == PA_SINK_RUNNING     ? "RUNNING"
                                   : info->state == PA_SINK_IDLE      ? "IDLE"
                                   : info->state == PA_SINK_SUSPENDED ? "SUSPENDED"
                                                                      : "OTHER";
                }
                if (end != 0) {
                    *asked->done = true;
                }
            },
            &query));
    });
    return query.state;
}

}  // namespace plinka::testing
