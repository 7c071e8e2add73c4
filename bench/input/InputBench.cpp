// What the key capture's path costs per event and the rate it carries without losing one:
// the decoder alone, the evdev tap fed through a pipe, and the X11 tap fed through XTEST; and
// the cost of the permission test.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <benchmark/benchmark.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <vector>

#include "RecordedKeyboard.h"
#include "ScratchDirectory.h"
#include "TapHarness.h"
#include "XvfbServer.h"
#include "platform/linux/input/EvdevKeyboardTap.h"
#include "platform/linux/input/KeyEventDecoder.h"
#include "platform/linux/input/LinuxEventTapService.h"
#include "platform/linux/input/XInputKeyboardTap.h"

namespace plinka::testing {
namespace {

constexpr CGEventMask kKeyEvents = 0x1C00;

// The callback's part kept to a count, so the path itself is measured; the bench thread
// sleeps until the count reaches what it sent.
std::atomic<int64_t> delivered{0};
std::atomic<int64_t> awaited{0};
std::mutex reachedMutex;
std::condition_variable reached;

const CGEvent* count(EventTap*, CGEventType, const CGEvent* event, void*) {
    if (delivered.fetch_add(1) + 1 >= awaited.load()) {
        std::lock_guard lock(reachedMutex);
        reached.notify_one();
    }
    return event;
}

// Announces the count to wait for before the events are sent.
void expectDelivered(int64_t total) {
    awaited = total;
}
void waitForDelivered(int64_t total) {
    std::unique_lock lock(reachedMutex);
    reached.wait(lock, [total] { return delivered.load() >= total; });
}

// Typing: Shift down, a key down and up, Shift up, another key down and up.
std::vector<input_event> typing(size_t events) {
    std::vector<input_event> records;
    const int keys[] = {KEY_A, KEY_S, KEY_D, KEY_F, KEY_J, KEY_K, KEY_L, KEY_SPACE};
    for (size_t i = 0; records.size() < events; ++i) {
        const int key = keys[i % std::size(keys)];
        if (i % 4 == 0) {
            records.push_back(KeyboardPipe::key(KEY_LEFTSHIFT, 1));
        }
        records.push_back(KeyboardPipe::key(key, 1));
        records.push_back(KeyboardPipe::key(key, 0));
        if (i % 4 == 0) {
            records.push_back(KeyboardPipe::key(KEY_LEFTSHIFT, 0));
        }
    }
    records.resize(events);
    return records;
}

void BM_DecodeKeyEvent(benchmark::State& state) {
    ModifierFlags modifiers;
    KeyEventDecoder decoder(modifiers);
    const auto records = typing(4096);
    size_t at = 0;
    for (auto _ : state) {
        const auto& record = records[at];
        benchmark::DoNotOptimize(decoder.decode(record.code, record.value));
        at = (at + 1) % records.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeKeyEvent);

// Records written to a pipe as fast as it takes them; the tap reads, decodes and delivers
// each. Every record here makes an event, so "lost" must stay 0.
void BM_EvdevTapSustainedRate(benchmark::State& state) {
    ScratchDirectory root;
    const std::string devices = root.path() / "input";
    std::filesystem::create_directory(devices);
    KeyboardPipe keyboard(devices, "event0");
    delivered = 0;
    auto tap =
        EvdevKeyboardTap::create({devices, &RecordedKeyboard::open}, kKeyEvents, &count, nullptr);
    TapThread thread(tap);
    const auto records = typing(static_cast<size_t>(state.range(0)));
    int64_t sent = 0;
    for (auto _ : state) {
        sent += static_cast<int64_t>(records.size());
        expectDelivered(sent);
        keyboard.write(std::span(records));
        waitForDelivered(sent);
    }
    state.SetItemsProcessed(sent);
    state.counters["lost"] = static_cast<double>(sent - delivered.load());
}
BENCHMARK(BM_EvdevTapSustainedRate)->Arg(10000)->UseRealTime();

// Key presses and releases faked through XTEST on a private Xvfb, captured as raw events.
void BM_X11TapSustainedRate(benchmark::State& state) {
    XvfbServer server;
    if (!server.running()) {
        state.SkipWithError("Xvfb is not installed or did not start");
        return;
    }
    delivered = 0;
    auto tap = XInputKeyboardTap::create(server.display(), kKeyEvents, &count, nullptr);
    Display* typist = XOpenDisplay(server.display().c_str());
    if (tap == nullptr || typist == nullptr) {
        state.SkipWithError("cannot reach the display");
        return;
    }
    TapThread thread(tap);
    const auto presses = static_cast<int>(state.range(0));
    const unsigned keycodes[] = {KEY_A + 8, KEY_S + 8, KEY_D + 8, KEY_F + 8};
    int64_t sent = 0;
    for (auto _ : state) {
        sent += 2 * presses;
        expectDelivered(sent);
        for (int i = 0; i < presses; ++i) {
            const unsigned keycode = keycodes[i % 4];
            XTestFakeKeyEvent(typist, keycode, True, 0);
            XTestFakeKeyEvent(typist, keycode, False, 0);
        }
        XFlush(typist);
        waitForDelivered(sent);
    }
    XCloseDisplay(typist);
    state.SetItemsProcessed(sent);
    state.counters["lost"] = static_cast<double>(sent - delivered.load());
}
BENCHMARK(BM_X11TapSustainedRate)->Arg(5000)->UseRealTime();

// The permission test that runs every 30 seconds: 0, a Wayland session without a readable
// keyboard; 1, a readable keyboard; 2, an X11 session whose only way is XInput 2.
void BM_CanCapture(benchmark::State& state) {
    ScratchDirectory devices;
    std::optional<KeyboardPipe> keyboard;
    std::unique_ptr<XvfbServer> server;
    LinuxEventTapService::Options options;
    options.evdev = {devices.path(), &RecordedKeyboard::open};
    options.display = ":4095";  // no server there
    options.wayland = state.range(0) != 2;
    if (state.range(0) == 1) {
        keyboard.emplace(devices.path(), "event0");
    }
    if (state.range(0) == 2) {
        server = std::make_unique<XvfbServer>();
        options.display = server->display();
    }
    LinuxEventTapService service(options);
    for (auto _ : state) {
        benchmark::DoNotOptimize(service.canCapture());
    }
    state.counters["permitted"] = service.canCapture() ? 1 : 0;
}
BENCHMARK(BM_CanCapture)->DenseRange(0, 2)->UseRealTime();

}  // namespace
}  // namespace plinka::testing

BENCHMARK_MAIN();
