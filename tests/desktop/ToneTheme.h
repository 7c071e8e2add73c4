#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "TestFiles.h"

namespace plinka::testing {

// A theme of steady tones, one for each key's key-down and another for its key-up, so that
// the mix tells which key sounded when. Built with the theme tools, like the shipped themes.
class ToneTheme {
  public:
    // What toneFor takes for a mouse button: this plus the button (0 left, 1 right, 2 middle).
    static constexpr int kMouseButtons = 1000;

    // Builds <directory>/<name>.plnk for the keys (mapping-file names, and "mouse-left",
    // "mouse-right", "mouse-middle" for the buttons); throws when it cannot.
    ToneTheme(const std::string& directory, const std::string& name,
              const std::vector<std::string>& keyNames);

    const std::string& file() const { return file_; }
    const std::vector<double>& frequencies() const { return frequencies_; }
    // The tone of the key's key-down or key-up sound; -1 when the theme has none for it.
    int toneFor(int keyCode, bool down) const;
    // "p down", "shift up".
    std::string describe(int tone) const;

  private:
    std::string file_;
    std::vector<int> keyCodes_;
    std::vector<std::string> names_;
    std::vector<double> frequencies_;
};

// A tone starting to sound in a mix: the frame where it is first heard and its index.
struct Onset {
    size_t frame;
    int tone;
};

// Where each of the tones (Hz) starts sounding in a 48 kHz interleaved stereo mix, in the order
// of their frames: a bank of Goertzel filters over sliding Hann windows.
std::vector<Onset> findOnsets(std::span<const float> stereo, std::span<const double> frequencies);

// A mix file read as it grows (SDL's disk driver writes it as a device plays).
class MixFile {
  public:
    explicit MixFile(std::string path) : path_(std::move(path)) {}
    // What was written since the last call, after waiting long enough for a key's sound.
    std::vector<float> next();

  private:
    std::string path_;
    size_t read_ = 0;  // samples
};

// Whether the tone starts sounding in the mix.
bool sounds(std::span<const float> stereo, const ToneTheme& theme, int tone);

}  // namespace plinka::testing
