#include "SoundServer.h"

#include <pulse/pulseaudio.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <thread>

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

bool SoundServer::waitForSocket(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + 15s;
    while (!accepts(path)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

std::optional<std::string> SoundServer::sinkState() const {
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

std::string SoundServer::defaultSink() const {
    struct Query {
        std::string sink;
        bool* done = nullptr;
    } query;
    askServer(address(), [&query](pa_context* context, bool* done) {
        query.done = done;
        pa_operation_unref(pa_context_get_server_info(
            context,
            [](pa_context*, const pa_server_info* info, void* data) {
                auto* asked = static_cast<Query*>(data);
                if (info != nullptr && info->default_sink_name != nullptr) {
                    asked->sink = info->default_sink_name;
                }
                *asked->done = true;
            },
            &query));
    });
    return query.sink;
}

}  // namespace plinka::testing
