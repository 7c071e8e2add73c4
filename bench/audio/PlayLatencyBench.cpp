// From playSystemSound on the main thread to the device callback that mixes the sound's first
// sample, through the real SDL2 output (the disk driver writing to /dev/null, paced like a device).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <thread>
#include <vector>

#include "BenchSounds.h"
#include "bench/Percentile.h"
#include "platform/linux/audio/AudioEngine.h"
#include "platform/linux/audio/MixerSystemSoundService.h"
#include "platform/linux/audio/SdlAudioOutput.h"
#include "platform/linux/headless/HeadlessServices.h"

namespace plinka {
namespace {

using bench::percentile;

void BM_PlayToFirstMixedSample(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "disk", 0);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 0);
    StandardErrorLog log("plinka_audio_bench");
    AudioOptions options;
    options.bufferFrames = static_cast<int>(state.range(0));
    auto engine = AudioEngine::openDevice(options, log, {{}, {}, audio::SdlAudioOutput::create});
    if (!engine->isDeviceOpen()) {
        state.SkipWithError("no audio device");
        return;
    }
    MixerSystemSoundService service(*engine);
    testing::ScratchDirectory dir;
    const SystemSoundID click = bench::makeClick(service, dir);
    const double periodMicros = 1e6 * engine->options().bufferFrames / engine->options().sampleRate;

    std::mt19937 random(1);
    std::uniform_int_distribution<int> pause(0, static_cast<int>(periodMicros * 2));
    std::vector<double> latencies;
    for (auto _ : state) {
        // Plays land anywhere in the buffer period, as key presses do.
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        const auto played = std::chrono::steady_clock::now();
        service.playSystemSound(click);
        while (engine->mixer().lastVoiceStart() < played) {
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        latencies.push_back(
            std::chrono::duration<double, std::micro>(engine->mixer().lastVoiceStart() - played)
                .count());
    }
    state.counters["buffer_period_us"] = periodMicros;
    state.counters["p50_us"] = percentile(latencies, 0.50);
    state.counters["p99_us"] = percentile(latencies, 0.99);
    state.counters["max_us"] = percentile(latencies, 1.0);
    state.counters["p99_within_goal"] = percentile(latencies, 0.99) <= periodMicros + 500 ? 1 : 0;
}
BENCHMARK(BM_PlayToFirstMixedSample)
    ->Arg(128)
    ->Arg(256)
    ->Arg(512)
    ->Iterations(500)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace plinka
