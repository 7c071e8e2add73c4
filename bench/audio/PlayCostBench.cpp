// What playSystemSound costs the main thread, and that it allocates nothing.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "BenchSounds.h"
#include "bench/AllocationCounter.h"
#include "platform/linux/audio/AudioEngine.h"
#include "platform/linux/audio/MixerSystemSoundService.h"

namespace plinka {
namespace {

void BM_PlaySystemSound(benchmark::State& state) {
    auto engine = AudioEngine::offline({});
    MixerSystemSoundService service(*engine);
    testing::ScratchDirectory dir;
    const SystemSoundID click = bench::makeClick(service, dir);
    std::vector<float> buffer(2 * 256);
    constexpr int kPlaysPerRender = 32;  // within the voice count, as in fast typing

    size_t plays = 0;
    size_t allocated = 0;
    for (auto _ : state) {
        const size_t before = bench::allocationCount();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kPlaysPerRender; ++i) {
            service.playSystemSound(click);
        }
        const auto end = std::chrono::steady_clock::now();
        allocated += bench::allocationCount() - before;
        plays += kPlaysPerRender;
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        engine->render(buffer.data(), 256);  // the audio side drains the plays, untimed
    }
    state.SetItemsProcessed(static_cast<int64_t>(plays));
    state.counters["ns_per_play"] = benchmark::Counter(
        static_cast<double>(plays), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["allocations_per_play"] =
        static_cast<double>(allocated) / static_cast<double>(plays);
    if (allocated != 0) {
        state.SkipWithError("playSystemSound allocated");
    }
}
BENCHMARK(BM_PlaySystemSound)->UseManualTime();

}  // namespace
}  // namespace plinka
