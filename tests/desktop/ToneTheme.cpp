#include "ToneTheme.h"

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <thread>

#include "platform/linux/input/KeyMap.h"

namespace plinka::testing {

namespace {

constexpr double kSampleRate = 48000;
// Tones 330 Hz apart: over 3 bins of the 512-frame window, where a Hann window's leakage is far
// below the detection threshold.
constexpr double kLowestTone = 500;
constexpr double kToneSpacing = 330;
constexpr size_t kWindow = 512;
constexpr size_t kHop = 48;
// Amplitudes: a tone is heard above the first and gone below the second.
constexpr double kHeard = 0.08;
constexpr double kGone = 0.03;

void run(const std::string& command) {
    const int status = std::system(command.c_str());
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("failed: " + command);
    }
}

}  // namespace

ToneTheme::ToneTheme(const std::string& directory, const std::string& name,
                     const std::vector<std::string>& keyNames)
    : file_(directory + "/" + name + ".plnk") {
    const std::string recipe = directory + "/" + name + ".recipe";
    std::ofstream out(recipe);
    out << "name = " << name << "\n";
    const std::string buttons[] = {"mouse-left", "mouse-right", "mouse-middle"};
    for (const auto& key : keyNames) {
        const auto* button = std::find(std::begin(buttons), std::end(buttons), key);
        const bool mouse = button != std::end(buttons);
        const auto keyCode =
            mouse ? std::optional(kMouseButtons + static_cast<int>(button - std::begin(buttons)))
                  : keyCodeForName(key);
        if (!keyCode) {
            throw std::invalid_argument("no key named " + key);
        }
        keyCodes_.push_back(*keyCode);
        names_.push_back(key);
        for (const char* state : {"down", "up"}) {
            const double frequency =
                kLowestTone + kToneSpacing * static_cast<double>(frequencies_.size());
            frequencies_.push_back(frequency);
            // Steady for 18 ms: the decay is far longer than the sound.
            out << "sound " << key << "-" << state
                << ".wav = length=18 level=-6 | mode freq=" << frequency << " decay=100000 gain=1\n"
                << (mouse ? "mouse-" : "key-") << state << " "
                << (mouse ? key.substr(std::string_view("mouse-").size()) : key) << " = " << key
                << "-" << state << ".wav\n";
        }
    }
    out.close();
    const std::string sounds = directory + "/" + name + "-sounds";
    run(std::string(PLINKA_SYNTH_TOOL) + " " + recipe + " -o " + sounds);
    run(std::string(PLINKA_THEME_TOOL) + " --bundle " + PLINKA_BUNDLE_DIR + " build " + sounds +
        " -o " + file_);
}

int ToneTheme::toneFor(int keyCode, bool down) const {
    for (size_t i = 0; i < keyCodes_.size(); ++i) {
        if (keyCodes_[i] == keyCode) {
            return static_cast<int>(2 * i + (down ? 0 : 1));
        }
    }
    return -1;
}

std::string ToneTheme::describe(int tone) const {
    if (tone < 0 || static_cast<size_t>(tone) >= frequencies_.size()) {
        return "tone " + std::to_string(tone);
    }
    return names_[static_cast<size_t>(tone) / 2] + (tone % 2 == 0 ? " down" : " up");
}

std::vector<Onset> findOnsets(std::span<const float> stereo, std::span<const double> frequencies) {
    const size_t frames = stereo.size() / 2;
    std::vector<double> window(kWindow);
    for (size_t i = 0; i < kWindow; ++i) {
        window[i] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / kWindow);
    }
    std::vector<double> coefficients;
    for (double frequency : frequencies) {
        coefficients.push_back(2 * std::cos(2 * std::numbers::pi * frequency / kSampleRate));
    }
    std::vector<bool> sounding(frequencies.size(), false);
    std::vector<Onset> onsets;
    std::vector<double> mono(kWindow);
    for (size_t start = 0; start + kWindow <= frames; start += kHop) {
        double energy = 0;
        for (size_t i = 0; i < kWindow; ++i) {
            const size_t frame = start + i;
            mono[i] = window[i] * 0.5 * (stereo[2 * frame] + stereo[2 * frame + 1]);
            energy += mono[i] * mono[i];
        }
        for (size_t tone = 0; tone < frequencies.size(); ++tone) {
            double amplitude = 0;
            if (energy > 1e-9) {
                double previous = 0, earlier = 0;
                for (double sample : mono) {
                    const double next = sample + coefficients[tone] * previous - earlier;
                    earlier = previous;
                    previous = next;
                }
                const double power = previous * previous + earlier * earlier -
                                     coefficients[tone] * previous * earlier;
                // A Hann-windowed sine of amplitude A gives a magnitude of A * N / 4.
                amplitude = 4 * std::sqrt(std::max(power, 0.0)) / kWindow;
            }
            if (!sounding[tone] && amplitude > kHeard) {
                sounding[tone] = true;
                onsets.push_back({start, static_cast<int>(tone)});
            } else if (sounding[tone] && amplitude < kGone) {
                sounding[tone] = false;
            }
        }
    }
    return onsets;
}

std::vector<float> MixFile::next() {
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    std::vector<float> all = readFloats(path_);
    const size_t from = std::min(read_, all.size());
    read_ = all.size();
    return {all.begin() + static_cast<long>(from), all.end()};
}

bool sounds(std::span<const float> stereo, const ToneTheme& theme, int tone) {
    const auto onsets = findOnsets(stereo, theme.frequencies());
    return std::any_of(onsets.begin(), onsets.end(),
                       [&](const Onset& onset) { return onset.tone == tone; });
}

}  // namespace plinka::testing
