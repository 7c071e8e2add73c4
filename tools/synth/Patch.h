#pragma once

#include <cstdint>
#include <vector>

#include "tools/synth/Biquad.h"

namespace plinka::synth {

constexpr int kSampleRate = 48000;

// One ingredient of a sound. Times are in milliseconds, frequencies in hertz.
struct Layer {
    enum class Kind { Noise, Mode };
    Kind kind = Kind::Noise;
    double at = 0;        // onset after the start of the sound
    double attack = 0.2;  // linear rise to full level
    double decay = 10;    // time constant of the exponential decay after the attack
    double gain = 1;      // linear level against the other layers
    // Noise: the filter that shapes it; a bandpass with a high q rings like a body.
    FilterType filter = FilterType::None;
    double freq = 1000;  // mode frequency, or the noise filter's corner or centre
    double q = 0.7;
    // Mode: the pitch starts at freq * glide and settles on freq with this time constant.
    double glide = 1;
    double glideTime = 10;
    // The layer struck `repeat` times, `spacing` apart, each `falloff` times the one before.
    int repeat = 1;
    double spacing = 10;
    double falloff = 1;
};

// A whole sound: its layers mixed, then cleaned up and normalised.
struct Patch {
    std::vector<Layer> layers;
    double length = 0;  // total length; 0 = until the slowest layer has died away
    double level = -6;  // peak level in dBFS after normalising
    double jitter = 0;  // relative random spread of freq, decay and gain per rendering seed
};

// The samples of the patch at kSampleRate, mono, in [-1, 1]; all silence for a patch without
// layers. The same patch and seed always give the same samples.
std::vector<float> renderPatch(const Patch& patch, uint64_t seed);

}  // namespace plinka::synth
