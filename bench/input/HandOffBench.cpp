// The key path between the tap and the theme: the tap callback's cost per event (auto-repeat
// check, flags comparison, hand-off), and the rate at which the hand-off carries events to the
// main thread's Qt event loop, with the count of any it had to drop.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "bench/AllocationCounter.h"
#include "bench/OfflineSounds.h"
#include "doubles/FakeEventTapService.h"
#include "platform/linux/audio/AudioEngine.h"
#include "sound/KeyCapture.h"

namespace plinka::bench {
namespace {

// The real platform (mixer rendered on demand) with the capture playing a shipped theme; the
// tap is a double, as the callback is what is measured.
struct KeyPath : OfflineSounds {
    KeyPath()
        : capture(
              services.platform().runLoop, services.platform().log, taps,
              [this](int32_t keyCode, int state) {
                  controller.playSoundForKeyCode(keyCode, state);
              },
              [this](int32_t button, int state) {
                  controller.playSoundForMouseButton(button, state);
              },
              [](const std::string&) {}) {
        controller.setThemeByName("Mechanical");
    }

    testing::FakeEventTapService taps;
    KeyCapture capture;
};

KeyPath& keyPath() {
    static KeyPath shared;
    return shared;
}

// Key-downs and key-ups of one key through the callback; the main thread then plays them and
// the mixer takes them, outside the timed part.
void BM_EventTapCallback(benchmark::State& state) {
    KeyPath& path = keyPath();
    const CGEvent events[] = {{kCGEventKeyDown, 0x00, 0, 0}, {kCGEventKeyUp, 0x00, 0, 0}};
    std::vector<float> block(2 * 256);
    constexpr int kBatch = 256;
    uint64_t allocations = 0;
    uint64_t handled = 0;
    for (auto _ : state) {
        const uint64_t before = allocationCount();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kBatch; ++i) {
            const CGEvent& event = events[i & 1];
            KeyCapture::eventTapCallback(nullptr, event.type, &event, &path.capture);
        }
        const auto elapsed = std::chrono::steady_clock::now() - start;
        allocations += allocationCount() - before;
        handled += kBatch;
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count() / kBatch);
        QCoreApplication::processEvents();
        path.services.audioEngine().render(block.data(), 256);
    }
    state.counters["allocs/event"] =
        static_cast<double>(allocations) / static_cast<double>(handled);
}
BENCHMARK(BM_EventTapCallback)->UseManualTime()->Unit(benchmark::kNanosecond);

// A producer thread posts as fast as it can while the main thread's event loop delivers.
void BM_HandOffSustainedRate(benchmark::State& state) {
    Platform& platform = keyPath().services.platform();
    std::atomic<int64_t> received{0};
    const auto count = [&](int32_t, int) { received.fetch_add(1, std::memory_order_relaxed); };
    KeyHandOff handOff(platform.runLoop, platform.log, count, count);
    const auto events = static_cast<int64_t>(state.range(0));
    int64_t posted = 0;
    for (auto _ : state) {
        posted += events;
        std::atomic<bool> done{false};
        std::thread producer([&] {
            for (int64_t i = 0; i < events; ++i) {
                handOff.post(static_cast<int32_t>(i & 0x3F), static_cast<int>(i & 1));
            }
            done = true;
        });
        while (!done.load()) {
            QCoreApplication::processEvents();
        }
        producer.join();
        // What is still queued arrives now; dropped events never do.
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(posted);
    state.counters["lost"] = static_cast<double>(posted - received.load());
}
BENCHMARK(BM_HandOffSustainedRate)->Arg(100000)->UseRealTime();

}  // namespace
}  // namespace plinka::bench
