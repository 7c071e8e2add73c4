// Key sounds as a user has them, side by side in one run: on a private Xvfb with a tray host
// (trayer), first on a private PulseAudio server, then on a private PipeWire server (pipewire,
// wireplumber, pipewire-pulse), each with a null sink, each program runs in turn, keys go in
// through XTEST, and the null sink's monitor is recorded. For Plinka (the built application with
// its tray and default theme), bucklespring (when installed) and a bare XInput 2 + SDL2 click:
// key-to-sound latency p50 and p99, the first key after a long silence, the CPU the program and
// the server spend while it sits idle (the server's beyond what it spends with no client at all)
// and resident memory. No recorder listens while the idle cost is taken: the server may suspend
// its sink as it would on a desktop.
//
// Usage: plinka_desktop_bench [--keys N] [--silence SECONDS] [--idle SECONDS]
//                             [--server pulseaudio|pipewire] [--plinka-only]
//                             [--also LABEL BUNDLE]... [--also-with LABEL -KEY VALUE]...
//   --keys         key presses timed per program (100)
//   --silence      the silence before the last key (60); idle cost is taken before its last
//                  few seconds, over
//   --idle         seconds (30)
//   --server       only this server (both by default)
//   --plinka-only  leave the peers out
//   --also         one more Plinka to measure, from another bundle (an earlier build)
//   --also-with    one more run of the built Plinka, with a default set on its command line
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "PipeWireServer.h"
#include "PlinkaSession.h"
#include "PulseServer.h"
#include "ScratchDirectory.h"
#include "TimedRecorder.h"
#include "XvfbServer.h"
#include "bench/Percentile.h"

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

using namespace plinka::testing;
using namespace std::chrono_literals;
using plinka::bench::percentile;
using Clock = std::chrono::steady_clock;

constexpr float kAudible = 1e-3f;  // -60 dBFS: the null sink is otherwise exactly silent
constexpr unsigned kKeycode = 52;  // z
constexpr auto kHeld = 150ms;      // from press to release
constexpr auto kQuietBefore = 30ms;
constexpr auto kLongestLatency = 500ms;
// Before the last key: the recorder connects and its clock settles.
constexpr auto kRecorderLead = 3s;

// A recorder that leaves the sink to the program: the server may suspend the sink as if nothing
// recorded it, and on PulseAudio large fragments keep the recorder from holding the sink's
// latency down (PipeWire's recorder never shortens the graph's cycle).
std::unique_ptr<TimedRecorder> record(const SoundServer& server) {
    return recordWithTimes(server, 4800, false);
}

// For the key after the silence. PulseAudio's clock of a recording is off by seconds for a while
// after its sink resumes, so there the recorder keeps the sink awake: that key measures the
// program's own way back, not the sink's. PipeWire's recorder lets the sink sleep.
std::unique_ptr<TimedRecorder> recordAfterSilence(const SoundServer& server) {
    return recordWithTimes(server, 4800, server.name() == "PulseAudio");
}

struct Options {
    int keys = 100;
    int silenceSeconds = 60;
    int idleSeconds = 30;
    std::vector<std::string> servers{"pulseaudio", "pipewire"};
    bool peers = true;
    struct Plinka {
        std::string label;
        std::string bundle;  // empty: the built one
        std::vector<std::string> arguments;
    };
    std::vector<Plinka> also;
};

struct Result {
    std::string label;
    std::vector<double> latencies;  // ms
    int sent = 0;
    int busy = 0;  // presses skipped: something still sounded just before
    std::optional<double> afterSilence;
    double idleCpu = 0;    // percent of one core
    double serverCpu = 0;  // the sound server's, over the same time
    double typingCpu = 0;  // the program's and the server's while keys are typed
    long rssKb = 0;
    long rssFileKb = 0;
    std::string failure;
};

// CPU time of every thread of the process so far, from the scheduler's own accounting.
double cpuSeconds(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double seconds = 0;
    if (DIR* directory = ::opendir(tasks.c_str())) {
        while (const dirent* entry = ::readdir(directory)) {
            std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
            double nanoseconds = 0;
            if (entry->d_name[0] != '.' && stat >> nanoseconds) {
                seconds += nanoseconds / 1e9;
            }
        }
        ::closedir(directory);
    }
    return seconds;
}

double cpuSeconds(const std::vector<pid_t>& pids) {
    double seconds = 0;
    for (const pid_t pid : pids) {
        seconds += cpuSeconds(pid);
    }
    return seconds;
}

// Percent of one core that the processes spend over the time.
double cpuPercent(const std::vector<pid_t>& pids, std::chrono::seconds time) {
    const double before = cpuSeconds(pids);
    const auto from = Clock::now();
    std::this_thread::sleep_for(time);
    const double wall = std::chrono::duration<double>(Clock::now() - from).count();
    return 100 * (cpuSeconds(pids) - before) / wall;
}

long statusKb(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stol(line.substr(field.size() + 1));
        }
    }
    return -1;
}

std::string loadAverage() {
    std::ifstream file("/proc/loadavg");
    double one = 0;
    double five = 0;
    double fifteen = 0;
    file >> one >> five >> fifteen;
    char text[64];
    std::snprintf(text, sizeof text, "%.2f, %.2f, %.2f", one, five, fifteen);
    return text;
}

// Keys through XTEST on one connection, timed when the request leaves for the server.
class Keyboard {
  public:
    explicit Keyboard(const std::string& display) : display_(XOpenDisplay(display.c_str())) {}
    ~Keyboard() {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    bool open() const { return display_ != nullptr; }
    Clock::time_point send(bool down) {
        XTestFakeKeyEvent(display_, kKeycode, down ? True : False, CurrentTime);
        const auto sent = Clock::now();
        XFlush(display_);
        return sent;
    }
    // A press, held, released; when the press was sent.
    Clock::time_point tap() {
        const auto pressed = send(true);
        std::this_thread::sleep_for(kHeld);
        send(false);
        return pressed;
    }

  private:
    Display* display_;
};

enum class Heard { Sound, Nothing, Busy };

// The onset of the first sound after the press, from the monitor: its latency in ms.
Heard latencyOf(const TimedRecorder& recorder, Clock::time_point pressed, double* latency) {
    const auto quietFrom = recorder.frameAt(pressed - kQuietBefore);
    const auto from = recorder.frameAt(pressed);
    const auto to = recorder.frameAt(pressed + kLongestLatency);
    if (!quietFrom || !from || !to) {
        return Heard::Nothing;
    }
    const std::vector<float> mix = recorder.samples();
    auto audible = [&mix](size_t frame) {
        return std::max(std::fabs(mix[2 * frame]), std::fabs(mix[2 * frame + 1])) > kAudible;
    };
    for (size_t frame = *quietFrom; frame < *from && 2 * frame + 1 < mix.size(); ++frame) {
        if (audible(frame)) {
            return Heard::Busy;
        }
    }
    for (size_t frame = *from; frame < *to && 2 * frame + 1 < mix.size(); ++frame) {
        if (audible(frame)) {
            const auto onset = recorder.timeOfFrame(frame);
            if (!onset) {
                return Heard::Nothing;
            }
            *latency = std::chrono::duration<double, std::milli>(*onset - pressed).count();
            return Heard::Sound;
        }
    }
    return Heard::Nothing;
}

// Waits until the recording reaches past the press's window.
void waitForRecording(const TimedRecorder& recorder, Clock::time_point pressed) {
    const auto deadline = Clock::now() + 5s;
    while (!recorder.frameAt(pressed + kLongestLatency + 100ms) ||
           *recorder.frameAt(pressed + kLongestLatency + 100ms) >= recorder.frames()) {
        if (Clock::now() > deadline) {
            return;
        }
        std::this_thread::sleep_for(20ms);
    }
}

class Bench {
  public:
    Bench(const Options& options, const XvfbServer& x, const SoundServer& server)
        : options_(options), keyboard_(x.display()), server_(server) {}

    Result measure(const std::string& label,
                   const std::function<std::unique_ptr<ChildProcess>()>& start) {
        Result result;
        result.label = label;
        std::fprintf(stderr, "%s on %s: starting (load %s)\n", label.c_str(),
                     server_.name().c_str(), loadAverage().c_str());
        const std::unique_ptr<ChildProcess> program = start();
        auto recorder = record(server_);
        if (!program || !keyboard_.open() || !recorder->recording()) {
            result.failure = "did not start";
            return result;
        }
        if (!becomesReady(*recorder)) {
            result.failure = "no sound within 30 s of typing: " + program->output();
            return result;
        }
        std::fprintf(stderr, "%s: %d keys\n", label.c_str(), options_.keys);
        std::mt19937 random(7);
        // The next press once the release sound of even a slow program is over.
        std::uniform_int_distribution<int> pause(650, 800);
        std::vector<Clock::time_point> presses;
        const double typingFrom = cpuSeconds(program->pid()) + cpuSeconds(server_.pids());
        const auto typingStart = Clock::now();
        for (int key = 0; key < options_.keys; ++key) {
            presses.push_back(keyboard_.tap());
            std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
        }
        // The recorder's share of the server's work is in it too.
        result.typingCpu = 100 *
                           (cpuSeconds(program->pid()) + cpuSeconds(server_.pids()) - typingFrom) /
                           std::chrono::duration<double>(Clock::now() - typingStart).count();
        waitForRecording(*recorder, presses.back());
        for (const auto pressed : presses) {
            double latency = 0;
            ++result.sent;
            switch (latencyOf(*recorder, pressed, &latency)) {
                case Heard::Sound:
                    result.latencies.push_back(latency);
                    break;
                case Heard::Busy:
                    ++result.busy;
                    break;
                case Heard::Nothing:
                    break;
            }
        }
        // Nothing listens while the idle cost is taken.
        recorder.reset();

        std::fprintf(stderr, "%s: %d s of silence\n", label.c_str(), options_.silenceSeconds);
        const auto lastKey = presses.back() + kHeld;
        const auto silence = std::chrono::seconds(options_.silenceSeconds);
        const auto idle = std::chrono::seconds(options_.idleSeconds);
        std::this_thread::sleep_until(lastKey + silence - kRecorderLead - idle);
        const double serverBefore = cpuSeconds(server_.pids());
        const double before = cpuSeconds(program->pid());
        const auto idleFrom = Clock::now();
        std::this_thread::sleep_for(idle);
        const double wall = std::chrono::duration<double>(Clock::now() - idleFrom).count();
        result.idleCpu = 100 * (cpuSeconds(program->pid()) - before) / wall;
        result.serverCpu = 100 * (cpuSeconds(server_.pids()) - serverBefore) / wall;
        result.rssKb = statusKb(program->pid(), "VmRSS");
        result.rssFileKb = statusKb(program->pid(), "RssFile");

        recorder = recordAfterSilence(server_);
        std::this_thread::sleep_until(lastKey + silence);
        const auto pressed = keyboard_.tap();
        waitForRecording(*recorder, pressed);
        double latency = 0;
        if (latencyOf(*recorder, pressed, &latency) == Heard::Sound) {
            result.afterSilence = latency;
        }
        std::this_thread::sleep_for(500ms);  // its release sound
        return result;
    }

  private:
    // Types until a key is heard: the program listens and its sounds are loaded.
    bool becomesReady(const TimedRecorder& recorder) {
        const auto deadline = Clock::now() + 30s;
        while (Clock::now() < deadline) {
            const auto pressed = keyboard_.tap();
            std::this_thread::sleep_for(600ms);
            waitForRecording(recorder, pressed);
            double latency = 0;
            if (latencyOf(recorder, pressed, &latency) == Heard::Sound) {
                std::this_thread::sleep_for(1s);  // whatever start-up still does
                return true;
            }
        }
        return false;
    }

    const Options& options_;
    Keyboard keyboard_;
    const SoundServer& server_;
};

void printTable(const std::string& server, double serverAlone, const std::string& load,
                const std::vector<Result>& results, const Options& options) {
    std::printf(
        "\nOn %s (its CPU with no client: %.2f %% of one core; load average %s):\n\n"
        "| program | key-to-sound p50 | p99 | first key after %d s of silence | program's idle "
        "CPU (%d s, one core) | server's CPU beyond its own | program + server | RSS "
        "(file-backed) | keys heard | program + server while typing |\n",
        server.c_str(), serverAlone, load.c_str(), options.silenceSeconds, options.idleSeconds);
    std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
    for (const Result& result : results) {
        if (!result.failure.empty()) {
            std::printf("| %s | %s | | | | | | | | |\n", result.label.c_str(),
                        result.failure.c_str());
            continue;
        }
        auto ms = [](std::optional<double> value) {
            char text[32] = "not heard";
            if (value) {
                std::snprintf(text, sizeof text, "%.1f ms", *value);
            }
            return std::string(text);
        };
        const bool any = !result.latencies.empty();
        const double serverBeyond = result.serverCpu - serverAlone;
        std::printf(
            "| %s | %s | %s | %s | %.2f %% | %.2f %% | %.2f %% | %.1f MB (%.1f MB) | %zu of %d "
            "| %.1f %% |\n",
            result.label.c_str(),
            ms(any ? std::optional(percentile(result.latencies, 0.5)) : std::nullopt).c_str(),
            ms(any ? std::optional(percentile(result.latencies, 0.99)) : std::nullopt).c_str(),
            ms(result.afterSilence).c_str(), result.idleCpu, serverBeyond,
            result.idleCpu + serverBeyond, static_cast<double>(result.rssKb) / 1024,
            static_cast<double>(result.rssFileKb) / 1024, result.latencies.size(),
            result.sent - result.busy, result.typingCpu);
    }
    std::fflush(stdout);
}

Options parse(int argc, char** argv) {
    Options options;
    std::vector<std::string> servers;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--keys" && i + 1 < argc) {
            options.keys = std::atoi(argv[++i]);
        } else if (argument == "--silence" && i + 1 < argc) {
            options.silenceSeconds = std::atoi(argv[++i]);
        } else if (argument == "--idle" && i + 1 < argc) {
            options.idleSeconds = std::atoi(argv[++i]);
        } else if (argument == "--server" && i + 1 < argc &&
                   (std::string(argv[i + 1]) == "pulseaudio" ||
                    std::string(argv[i + 1]) == "pipewire")) {
            servers.emplace_back(argv[++i]);
        } else if (argument == "--plinka-only") {
            options.peers = false;
        } else if (argument == "--also" && i + 2 < argc) {
            options.also.push_back({argv[i + 1], argv[i + 2], {}});
            i += 2;
        } else if (argument == "--also-with" && i + 3 < argc) {
            options.also.push_back({argv[i + 1], "", {argv[i + 2], argv[i + 3]}});
            i += 3;
        } else {
            std::fprintf(stderr, "unknown argument %s\n", argument.c_str());
            std::exit(2);
        }
    }
    if (!servers.empty()) {
        options.servers = servers;
    }
    const int recorderLead = static_cast<int>(kRecorderLead.count());
    options.silenceSeconds = std::max(options.silenceSeconds, recorderLead + 2);
    options.idleSeconds =
        std::clamp(options.idleSeconds, 1, options.silenceSeconds - recorderLead - 1);
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    ScratchDirectory scratch;
    XvfbServer x;
    if (!x.running()) {
        std::fprintf(stderr, "needs Xvfb\n");
        return 1;
    }
    ChildProcess::Options trayOptions;
    trayOptions.arguments = {"--edge",  "top", "--align",      "left",  "--widthtype", "pixel",
                             "--width", "96",  "--heighttype", "pixel", "--height",    "48"};
    trayOptions.environment = {{"DISPLAY", x.display()}};
    trayOptions.mergeErrors = true;
    const std::string trayer = programPath("trayer");
    const auto tray =
        trayer.empty() ? nullptr : std::make_unique<ChildProcess>(trayer, trayOptions);
    if (!tray || !runOnDisplay(x.display(),
                               {"sh", "-c",
                                "xdotool search --sync --onlyvisible --class trayer >/dev/null"})) {
        std::fprintf(stderr, "needs trayer and xdotool for Plinka's tray\n");
        return 1;
    }
    // Debian installs it among the games, which are not always on the path.
    std::string buckle = programPath("buckle");
    if (buckle.empty() && ::access("/usr/games/buckle", X_OK) == 0) {
        buckle = "/usr/games/buckle";
    }

    for (const std::string& kind : options.servers) {
        const std::string directory = scratch.file(kind);
        std::unique_ptr<SoundServer> server;
        if (kind == "pipewire") {
            server = std::make_unique<PipeWireServer>(directory);
        } else {
            server = std::make_unique<PulseServer>(directory);
        }
        if (!server->running()) {
            std::fprintf(stderr, "%s does not start; left out\n", kind.c_str());
            continue;
        }
        // The recorder reaches this server too.
        for (const auto& [name, value] : server->clientEnvironment()) {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
        const std::string load = loadAverage();
        std::fprintf(stderr, "%s with no client: %d s (load %s)\n", server->name().c_str(),
                     options.idleSeconds, load.c_str());
        std::this_thread::sleep_for(3s);  // its sink suspends
        const double serverAlone =
            cpuPercent(server->pids(), std::chrono::seconds(options.idleSeconds));

        std::vector<std::pair<std::string, std::string>> environment = {
            {"DISPLAY", x.display()},
            {"HOME", scratch.file("home")},
            {"XDG_RUNTIME_DIR", scratch.file("runtime")},
        };
        const auto reach = server->clientEnvironment();
        environment.insert(environment.end(), reach.begin(), reach.end());
        auto run = [&](const std::string& program) {
            ChildProcess::Options childOptions;
            childOptions.environment = environment;
            childOptions.mergeErrors = true;
            return std::make_unique<ChildProcess>(program, childOptions);
        };

        Bench bench(options, x, *server);
        std::vector<Result> results;
        std::vector<Options::Plinka> plinkas{{"Plinka", "", {}}};
        plinkas.insert(plinkas.end(), options.also.begin(), options.also.end());
        for (const auto& plinka : plinkas) {
            PlinkaSession session(x.display(), plinka.bundle);
            // Through the sound server: SDL_AUDIODRIVER names it rather than the disk driver.
            auto plinkaEnvironment = reach;
            plinkaEnvironment.emplace_back("SDL_AUDIODRIVER", "pulseaudio");
            results.push_back(bench.measure(
                plinka.label, [&] { return session.start(plinka.arguments, plinkaEnvironment); }));
        }
        if (options.peers && !buckle.empty()) {
            results.push_back(bench.measure("bucklespring", [&] { return run(buckle); }));
        } else if (options.peers) {
            Result missing;
            missing.label = "bucklespring";
            missing.failure = "not installed (apt-get install bucklespring)";
            results.push_back(missing);
        }
        if (options.peers) {
            results.push_back(bench.measure("bare XInput 2 + SDL2 click, 256 frames",
                                            [&] { return run(PLINKA_BARE_CLICK); }));
        }
        printTable(server->name(), serverAlone, load + " to " + loadAverage(), results, options);
    }
    return 0;
}
