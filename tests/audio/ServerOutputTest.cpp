// The sound servers' outputs with their real parts: a private PulseAudio or PipeWire server with
// a float null sink whose monitor is recorded, and the real mixer, sounds and speech.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <list>
#include <memory>
#include <thread>

#include "Eventually.h"
#include "MonitorRecorder.h"
#include "PipeWireServer.h"
#include "PulseServer.h"
#include "ScopedEnvironment.h"
#include "SoundFiles.h"
#include "doubles/RecordingLog.h"
#include "platform/linux/audio/AudioEngine.h"
#include "platform/linux/audio/EspeakEngine.h"
#include "platform/linux/audio/EspeakSpeechService.h"
#include "platform/linux/audio/MixerSystemSoundService.h"
#include "platform/linux/audio/PipeWireOutput.h"
#include "platform/linux/audio/PulseAudioOutput.h"
#include "platform/linux/audio/SdlAudioOutput.h"

namespace plinka {
namespace {

using namespace std::chrono_literals;
using audio::Mixer;
using ::testing::ElementsAre;
using testing::eventually;
using testing::MonitorRecorder;
using testing::PipeWireServer;
using testing::PulseServer;
using testing::SoundServer;
using ::testing::StartsWith;

std::vector<float> ramp(size_t frames, float from, float to) {
    std::vector<float> samples(frames);
    for (size_t i = 0; i < frames; ++i) {
        samples[i] = from + (to - from) * static_cast<float>(i) / static_cast<float>(frames);
    }
    return samples;
}

struct Placed {
    size_t at;  // the frame of the mix where the sound starts
    const std::vector<float>* sound;
};

// Whether the mix holds, from frame `from` for `frames` frames, exactly what the mixer makes of
// the mono sounds started where they are placed, with silence just before. The reason when not.
::testing::AssertionResult heardFrom(const std::vector<float>& mix, size_t from, size_t frames,
                                     const std::vector<Placed>& sounds) {
    if (from == std::string::npos || 2 * (from + frames) > mix.size()) {
        return ::testing::AssertionFailure() << "not in the recording";
    }
    if (from > 0 && (mix[2 * from - 2] != 0.0f || mix[2 * from - 1] != 0.0f)) {
        return ::testing::AssertionFailure() << "something sounds just before frame " << from;
    }
    for (size_t frame = from; frame < from + frames; ++frame) {
        float sum = 0.0f;
        for (const Placed& placed : sounds) {
            if (frame >= placed.at && frame - placed.at < placed.sound->size()) {
                sum += (*placed.sound)[frame - placed.at];
            }
        }
        const float expected = sum * Mixer::kHeadroom;
        for (size_t channel = 0; channel < 2; ++channel) {
            if (std::fabs(mix[2 * frame + channel] - expected) > 1e-6f) {
                return ::testing::AssertionFailure()
                       << "frame " << frame - from << " is " << mix[2 * frame + channel] << ", not "
                       << expected;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// The sound alone, whole from its first sample, at the frame.
::testing::AssertionResult heardWhole(const std::vector<float>& mix, size_t at,
                                      const std::vector<float>& sound) {
    return heardFrom(mix, at, sound.size() + 480, {{at, &sound}});
}

// The first frame from `from` on where the mix is no longer the sound alone.
size_t firstFrameBeyond(const std::vector<float>& mix, size_t from,
                        const std::vector<float>& sound) {
    for (size_t frame = from; 2 * frame < mix.size(); ++frame) {
        const float alone =
            frame - from < sound.size() ? sound[frame - from] * Mixer::kHeadroom : 0.0f;
        if (std::fabs(mix[2 * frame] - alone) > 1e-6f) {
            return frame;
        }
    }
    return std::string::npos;
}

const AudioEngine::Outputs kOutputs{audio::PipeWireOutput::connect,
                                    audio::PulseAudioOutput::connect,
                                    audio::SdlAudioOutput::create};

std::unique_ptr<SoundServer> startServer(const std::string& name, const std::string& directory) {
    if (name == "PipeWire") {
        return std::make_unique<PipeWireServer>(directory);
    }
    return std::make_unique<PulseServer>(directory);
}

// Sets the variables for as long as the list lives.
using Environment = std::list<testing::ScopedEnvironment>;
void setAll(Environment& environment,
            const std::vector<std::pair<std::string, std::string>>& variables) {
    for (const auto& [name, value] : variables) {
        environment.emplace_back(name, value);
    }
}

// Each case with the output of the server named by the parameter, chosen alone.
class ServerOutputTest : public ::testing::TestWithParam<std::string> {
  protected:
    ServerOutputTest() : server_(startServer(GetParam(), dir_.file("server"))) {
        // The client's environment reaches this server alone.
        setAll(environment_, server_->clientEnvironment());
    }
    ~ServerOutputTest() override {
        service_.reset();
        engine_.reset();
    }

    void SetUp() override {
        if (!server_->running()) {
            GTEST_SKIP() << GetParam() << " is not installed";
        }
    }

    void open() {
        engine_ = AudioEngine::openDevice(options_, log_, kOutputs);
        service_ = std::make_unique<MixerSystemSoundService>(*engine_);
    }
    // At the output's quantum: a recorder that sets another makes the graph change its cycle when
    // the output's stream comes back, and what is played meanwhile is lost.
    std::unique_ptr<MonitorRecorder> record() {
        return std::make_unique<MonitorRecorder>(server_->address(), SoundServer::kSink,
                                                 options_.bufferFrames);
    }

    SystemSoundID makeSound(const std::vector<float>& mono) {
        return testing::makeSound(*service_, dir_, mono);
    }

    // Plays the sound and answers the frame of the recording where it starts.
    size_t playAndFind(MonitorRecorder& recorder, SystemSoundID sound, size_t frames) {
        const size_t before = recorder.frames();
        service_->playSystemSound(sound);
        size_t onset = std::string::npos;
        eventually([&] {
            onset = testing::firstSoundingFrame(recorder.samples(), before);
            return onset != std::string::npos && recorder.frames() > onset + frames + 4800;
        });
        return onset;
    }

    testing::ScratchDirectory dir_;
    std::unique_ptr<SoundServer> server_;
    Environment environment_;
    // A quantum of 21 ms: a machine busy with other tests must not make gaps that the checks
    // below would take for the output's.
    AudioOptions options_{.output = GetParam() == "PipeWire" ? AudioOptions::Output::PipeWire
                                                             : AudioOptions::Output::PulseAudio,
                          .bufferFrames = 1024,
                          .devicePollInterval = 20ms};
    testing::RecordingLog log_;
    std::unique_ptr<AudioEngine> engine_;
    std::unique_ptr<MixerSystemSoundService> service_;
};

// The sink sleeps while nothing sounds; each sound after a quiet spell, as keys typed slowly
// are, is heard whole though the output had stopped writing.
TEST_P(ServerOutputTest, SoundsAndSpeechAreHeardInOrderEachWholeFromItsFirstSample) {
    open();
    ASSERT_EQ(log_.lines(), std::vector<std::string>{"Sound plays through " + GetParam()});
    // One kept as floats, one as 16-bit samples.
    const std::vector<float> rising = ramp(2400, 0.05f, 0.5f);
    const std::vector<float> steady(4800, -0.25f);
    const SystemSoundID first = makeSound(rising);
    const SystemSoundID second = makeSound(steady);
    const SystemSoundID silence = makeSound(std::vector<float>(4800, 0.0f));
    service_->playSystemSound(first);
    ASSERT_TRUE(eventually([&] { return server_->sinkState() == "RUNNING"; }));
    // The keep-alive's silence plays meanwhile, and changes nothing.
    EXPECT_TRUE(eventually([&] {
        service_->playSystemSound(silence);
        return server_->sinkState() == "SUSPENDED";
    }));

    // The recorder wakes the sink; the output's stream comes back for the sound.
    const auto recorder = record();
    ASSERT_TRUE(recorder->recording());
    ASSERT_TRUE(eventually([&] { return server_->sinkState() != "SUSPENDED"; }));
    EspeakSpeechService speech(*engine_, log_, audio::startEspeak);
    const auto voice = speech.makeSynthesizer();
    std::this_thread::sleep_for(300ms);
    const size_t firstAt = playAndFind(*recorder, first, rising.size());
    EXPECT_TRUE(heardWhole(recorder->samples(), firstAt, rising));
    std::this_thread::sleep_for(300ms);
    const size_t speechFrom = recorder->frames();
    ASSERT_TRUE(voice->startSpeakingString("Plinka"));
    ASSERT_TRUE(eventually([&] { return !voice->isSpeaking(); }));
    std::this_thread::sleep_for(300ms);
    const size_t speechTo = recorder->frames();
    // The next while it still sounds: mixed in from its first sample on.
    const size_t before = recorder->frames();
    service_->playSystemSound(second);
    std::this_thread::sleep_for(40ms);  // beyond the quantum, so that it starts later
    service_->playSystemSound(first);
    ASSERT_TRUE(eventually([&] { return recorder->frames() > before + 24000; }));

    const std::vector<float> mix = recorder->samples();
    const size_t secondAt = testing::firstSoundingFrame(mix, before);
    ASSERT_NE(secondAt, std::string::npos);
    const size_t thirdAt = firstFrameBeyond(mix, secondAt, steady);
    ASSERT_NE(thirdAt, std::string::npos);
    EXPECT_GT(thirdAt, secondAt) << "the mix is " << mix[2 * secondAt] << " there";
    EXPECT_LT(thirdAt, secondAt + steady.size()) << "the two sounds did not overlap";
    EXPECT_TRUE(heardFrom(mix, secondAt, thirdAt + rising.size() + 480 - secondAt,
                          {{secondAt, &steady}, {thirdAt, &rising}}));
    EXPECT_GT(testing::rmsOf(mix, 2 * speechFrom, 2 * speechTo), 0.01) << "no speech heard";
    EXPECT_EQ(log_.lines().size(), 1u) << ::testing::PrintToString(log_.lines());
}

TEST_P(ServerOutputTest, WaitsForAServerThatIsNotThereOrGoneAndSaysSoOnce) {
    server_->kill();
    open();
    const std::vector<float> steady(1200, 0.25f);
    const SystemSoundID sound = makeSound(steady);
    service_->playSystemSound(sound);  // dropped
    // Long enough away for the retries to have slowed down: they still come every second.
    std::this_thread::sleep_for(6s);
    ASSERT_TRUE(server_->start());
    ASSERT_TRUE(eventually([&] { return engine_->isDeviceOpen(); }, 2s));

    // Lost after a while: a new outage, a new line.
    std::this_thread::sleep_for(2500ms);
    server_->kill();
    ASSERT_TRUE(eventually([&] { return !engine_->isDeviceOpen(); }));
    service_->playSystemSound(sound);  // dropped
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(server_->start());
    ASSERT_TRUE(eventually([&] { return engine_->isDeviceOpen(); }, 2s));
    const auto recorder = record();
    ASSERT_TRUE(recorder->recording());
    std::this_thread::sleep_for(100ms);
    const size_t at = playAndFind(*recorder, sound, steady.size());
    EXPECT_TRUE(heardWhole(recorder->samples(), at, steady));
    EXPECT_THAT(log_.lines(), ElementsAre(StartsWith(GetParam() + " does not answer ("),
                                          StartsWith("Lost the " + GetParam() + " server (")));
}

INSTANTIATE_TEST_SUITE_P(Servers, ServerOutputTest, ::testing::Values("PulseAudio", "PipeWire"),
                         [](const auto& parameter) { return parameter.param; });

// Which output plays, by the servers that answer and what PLINKA_AUDIO asks for.
TEST(OutputChoice, PipeWireThenPulseAudioThenSdlUnlessOneIsAskedFor) {
    struct Case {
        const char* servers;  // "PipeWire" (with its PulseAudio service), "PulseAudio" or ""
        AudioOptions::Output output;
        const char* plinkaAudio;
        const char* heard;
    };
    using Output = AudioOptions::Output;
    const Case cases[] = {
        {"PipeWire", Output::Servers, "", "PipeWire"},
        {"PulseAudio", Output::Servers, "", "PulseAudio"},
        {"", Output::Servers, "", "SDL"},
        {"PipeWire", Output::Automatic, "pulse", "PulseAudio"},
        {"PipeWire", Output::Automatic, "sdl", "SDL"},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(std::string(each.servers) + " up, PLINKA_AUDIO=" + each.plinkaAudio);
        testing::ScratchDirectory dir;
        std::unique_ptr<SoundServer> server;
        if (*each.servers != '\0') {
            server = startServer(each.servers, dir.file("server"));
            if (!server->running()) {
                GTEST_SKIP() << each.servers << " is not installed";
            }
        }
        Environment environment;
        setAll(environment, server != nullptr ? server->clientEnvironment()
                                              : std::vector<std::pair<std::string, std::string>>{
                                                    {"PULSE_SERVER", "unix:" + dir.file("none")},
                                                    {"PIPEWIRE_RUNTIME_DIR", dir.path().string()}});
        setAll(environment,
               {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", dir.file("output.raw")}});
        testing::ScopedEnvironment forced("PLINKA_AUDIO", *each.plinkaAudio != '\0'
                                                              ? std::optional(each.plinkaAudio)
                                                              : std::nullopt);
        testing::RecordingLog log;
        const auto engine = AudioEngine::openDevice({.output = each.output}, log, kOutputs);
        EXPECT_THAT(log.lines(),
                    ElementsAre(StartsWith(std::string("Sound plays through ") + each.heard)));
    }
}

}  // namespace
}  // namespace plinka
