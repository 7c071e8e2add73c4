// The theme engine's costs with the real parts: the bundle's largest shipped theme decoded from
// its file, its sounds played by the real mixer (rendered offline, outside the timed part).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

#include "bench/AllocationCounter.h"
#include "bench/OfflineSounds.h"
#include "platform/Bundle.h"
#include "platform/Platform.h"
#include "platform/linux/audio/AudioEngine.h"

namespace plinka::bench {
namespace {

namespace fs = std::filesystem;

struct Fixture : OfflineSounds {
    // The theme whose file is largest: the most sounds to decode.
    std::string largestTheme() {
        std::string largest;
        uintmax_t largestSize = 0;
        for (const auto& path :
             services.platform().mainBundle.pathsForResourcesOfType("plnk", "KeySoundThemes")) {
            if (fs::file_size(path) > largestSize) {
                largestSize = fs::file_size(path);
                largest = fs::path(path).stem().string();
            }
        }
        return largest;
    }
};

Fixture& fixture() {
    static Fixture shared;
    return shared;
}

// One key event through SoundController up to the mixer's command queue, on a theme whose
// every key plays a sound, placed by its key and with the pitch varied by up to the argument's
// cents. Allocations per event are counted inside the timed part only.
void BM_PlaySoundForKeyCode(benchmark::State& state) {
    Fixture& f = fixture();
    f.controller.setThemeByName(f.largestTheme());
    f.controller.setPlaybackPreferences(true, static_cast<int>(state.range(0)));
    std::vector<float> block(256 * 2);
    // Letters and digits with their key-down and key-up: 0x00 to 0x32 in the theme's codes.
    constexpr int kBatch = 128;  // fewer than the mixer's queue holds between two renders
    uint64_t events = 0;
    uint64_t allocations = 0;
    int key = 0;
    for (auto _ : state) {
        const uint64_t allocationsBefore = allocationCount();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kBatch; ++i) {
            f.controller.playSoundForKeyCode(key, i & 1);
            key = (key + (i & 1)) % 0x33;
        }
        const auto elapsed = std::chrono::steady_clock::now() - start;
        allocations += allocationCount() - allocationsBefore;
        events += kBatch;
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count() / kBatch);
        f.services.audioEngine().render(block.data(), 256);
    }
    state.counters["allocs/event"] = static_cast<double>(allocations) / static_cast<double>(events);
    state.SetLabel(f.controller.currentThemeName().value_or("?"));
}
BENCHMARK(BM_PlaySoundForKeyCode)->Arg(0)->Arg(100)->UseManualTime()->Unit(benchmark::kNanosecond);

// Loading the largest theme from its file: every slot decoded, every sound decoded and
// resampled to the output rate.
void BM_ColdLoadLargestTheme(benchmark::State& state) {
    Fixture& f = fixture();
    const std::string theme = f.largestTheme();
    for (auto _ : state) {
        state.PauseTiming();
        f.controller.setThemeByName("Off");
        state.ResumeTiming();
        f.controller.setThemeByName(theme);
    }
    state.SetLabel(theme);
}
BENCHMARK(BM_ColdLoadLargestTheme)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
}  // namespace plinka::bench
