// The audio side's cost per buffer, and the one-time cost of decoding and resampling a sound.
#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <memory>
#include <vector>

#include "SoundFiles.h"
#include "platform/linux/audio/Mixer.h"
#include "platform/linux/audio/SoundFileDecoder.h"

namespace plinka::audio {
namespace {

void BM_RenderBufferWithVoices(benchmark::State& state) {
    Mixer mixer(48000, 32);
    const auto voices = static_cast<int>(state.range(0));
    // Long enough that every voice sounds throughout.
    auto sound = std::make_shared<DecodedSound>(std::vector<float>(2 * 48000 * 60, 0.01f));
    for (int i = 0; i < voices; ++i) {
        mixer.play(*sound);
    }
    std::vector<float> buffer(2 * 256);
    for (auto _ : state) {
        mixer.render(buffer.data(), 256);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["buffer_period_us"] = 1e6 * 256 / 48000;
    mixer.retire(sound);
}
BENCHMARK(BM_RenderBufferWithVoices)
    ->Arg(0)
    ->Arg(1)
    ->Arg(8)
    ->Arg(32)
    ->Unit(benchmark::kMicrosecond);

void BM_DecodeAndResampleClick(benchmark::State& state) {
    testing::ScratchDirectory dir;
    const std::string path = dir.file("click.wav");
    // A typical key sound: 0.3 s of mono at 44.1 kHz.
    testing::writeSoundFile(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1,
                            testing::sineSamples(13230, 44100, 1000.0, 0.5f));
    const auto quality = static_cast<ResampleQuality>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(decodeSoundFile(path, 48000, quality));
    }
}
BENCHMARK(BM_DecodeAndResampleClick)
    ->ArgName("quality")
    ->Arg(static_cast<int>(ResampleQuality::Fastest))
    ->Arg(static_cast<int>(ResampleQuality::Medium))
    ->Arg(static_cast<int>(ResampleQuality::Best))
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plinka::audio
