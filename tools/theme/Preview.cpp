#include "tools/theme/Preview.h"

#include <algorithm>
#include <cmath>

#include "platform/linux/audio/AudioEngine.h"
#include "platform/linux/audio/EspeakSpeechService.h"
#include "sound/AudioKeepAlive.h"
#include "sound/SoundController.h"
#include "tools/theme/ThemeFiles.h"
#include "tools/theme/ToolPlatform.h"
#include "tools/theme/TypingSchedule.h"

namespace plinka::themetool {

namespace {

constexpr int kChannels = 2;
constexpr double kChunkSeconds = 0.25;  // speech is caught up before each chunk
constexpr double kQuietTail = 0.5;      // the mix has ended once this long is silent
constexpr double kLongestTail = 10.0;
constexpr double kKeptAfterSound = 0.02;
constexpr float kSilence = 1e-4f;
constexpr double kClicksAfterTyping = 0.3;

// The offline mixer driven by a virtual clock, collecting what it renders.
class Recorder {
  public:
    explicit Recorder(ToolPlatform& tool)
        : engine_(tool.audioEngine()),
          speech_(tool.speech()),
          rate_(engine_.options().sampleRate) {}

    int sampleRate() const { return rate_; }
    size_t framesFor(double seconds) const {
        return static_cast<size_t>(std::llround(seconds * rate_));
    }
    size_t frames() const { return audio_.size() / kChannels; }

    void renderUntil(size_t frame) {
        while (frames() < frame) {
            const size_t count = std::min(frame - frames(), framesFor(kChunkSeconds));
            if (speech_ != nullptr) {
                speech_->waitUntilSynthesized();
            }
            const size_t start = audio_.size();
            audio_.resize(start + count * kChannels);
            engine_.render(audio_.data() + start, count);
        }
    }

    // Renders on until the mix has been silent for kQuietTail, at most kLongestTail more.
    void renderTail() {
        const size_t limit = frames() + framesFor(kLongestTail);
        while (frames() < limit) {
            renderUntil(frames() + framesFor(0.1));
            const size_t quiet = framesFor(kQuietTail) * kChannels;
            if (audio_.size() >= quiet &&
                std::all_of(audio_.end() - static_cast<std::ptrdiff_t>(quiet), audio_.end(),
                            [](float s) { return std::abs(s) < kSilence; })) {
                break;
            }
        }
    }

    // Everything rendered, with the silence after the last sound cut to a short pause.
    synth::Audio take() {
        size_t end = audio_.size();
        while (end > 0 && std::abs(audio_[end - 1]) < kSilence) {
            --end;
        }
        const size_t keep = std::min(audio_.size(), end + framesFor(kKeptAfterSound) * kChannels);
        audio_.resize(keep - keep % kChannels);
        return synth::Audio{std::move(audio_), rate_, kChannels};
    }

  private:
    AudioEngine& engine_;
    EspeakSpeechService* speech_;
    int rate_;
    std::vector<float> audio_;
};

}  // namespace

std::optional<synth::Audio> renderPreview(ToolPlatform& tool, const std::string& themeFile,
                                          std::string_view text, uint64_t seed, std::string& error,
                                          const std::vector<int>& clicks) {
    size_t unloaded = 0;
    if (!loadThemeFile(themeFile, tool.platform(), error, &unloaded)) {
        return std::nullopt;
    }
    if (unloaded > 0) {
        error = themeFile + ": " + std::to_string(unloaded) +
                " of its sounds could not be loaded (see the lines above)";
        return std::nullopt;
    }
    auto events = typingSchedule(text, seed);
    if (events.empty() && clicks.empty()) {
        error = "nothing in the text can be typed on a US keyboard";
        return std::nullopt;
    }
    const double clicksStart = events.empty() ? 0 : events.back().time + kClicksAfterTyping;
    for (const auto& click : clickSchedule(clicks, clicksStart, seed)) {
        events.push_back(click);
    }
    const std::string name = tool.bundle().addThemeFile(themeFile);
    AudioKeepAlive keepAlive(tool.platform());
    SoundController controller(tool.platform(), keepAlive);
    if (!controller.setThemeByName(name)) {
        error = themeFile + ": the sound controller could not load it";
        return std::nullopt;
    }
    Recorder recorder(tool);
    for (const auto& event : events) {
        recorder.renderUntil(recorder.framesFor(event.time));
        tool.drain();
        if (event.mouse) {
            controller.playSoundForMouseButton(event.keyCode, event.state);
        } else {
            controller.playSoundForKeyCode(event.keyCode, event.state);
        }
    }
    recorder.renderTail();
    return recorder.take();
}

}  // namespace plinka::themetool
