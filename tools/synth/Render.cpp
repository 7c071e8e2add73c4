#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/SeededRandom.h"
#include "tools/synth/Patch.h"

namespace plinka::synth {

namespace {

constexpr double kMaxLengthMs = 1500;
constexpr double kFadeInMs = 0.3;
constexpr double kFadeOutMs = 6;

size_t samplesFor(double ms) {
    return static_cast<size_t>(std::lround(ms * kSampleRate / 1000.0));
}

// The layer as this rendering plays it: frequency, decay and gain spread by the patch's jitter.
Layer jittered(Layer layer, double jitter, SeededRandom& random) {
    layer.freq *= 1 + jitter * random.bipolar();
    layer.decay *= 1 + jitter * random.bipolar();
    layer.gain *= 1 + 0.5 * jitter * random.bipolar();
    layer.at = std::max(0.0, layer.at * (1 + jitter * random.bipolar()));
    return layer;
}

double layerEndMs(const Layer& layer) {
    // -60 dB is reached after ln(1000) time constants.
    return layer.at + (layer.repeat - 1) * layer.spacing + layer.attack + layer.decay * 6.91;
}

double envelope(double tMs, const Layer& layer) {
    if (tMs < layer.attack) {
        return tMs / layer.attack;
    }
    return std::exp(-(tMs - layer.attack) / layer.decay);
}

void addStrike(std::vector<double>& out, const Layer& layer, size_t start, double gain,
               SeededRandom& random) {
    Biquad filter(layer.filter, layer.freq, layer.q, kSampleRate);
    double phase = 0;
    const size_t length = std::min(out.size() - std::min(out.size(), start),
                                   samplesFor(layer.attack + layer.decay * 6.91));
    for (size_t i = 0; i < length; ++i) {
        const double tMs = 1000.0 * static_cast<double>(i) / kSampleRate;
        double value = 0;
        if (layer.kind == Layer::Kind::Noise) {
            value = filter.process(random.bipolar());
        } else {
            const double f =
                layer.freq * (1 - (1 - layer.glide) * std::exp(-tMs / layer.glideTime));
            value = std::sin(phase);
            phase += 2 * std::numbers::pi * f / kSampleRate;
        }
        out[start + i] += gain * envelope(tMs, layer) * value;
    }
}

// A one-pole high-pass at about 15 Hz takes out any offset the low modes leave.
void removeDc(std::vector<double>& samples) {
    const double r = 1 - 2 * std::numbers::pi * 15.0 / kSampleRate;
    double previousIn = 0, previousOut = 0;
    for (double& s : samples) {
        const double y = s - previousIn + r * previousOut;
        previousIn = s;
        previousOut = y;
        s = y;
    }
}

void fadeEnds(std::vector<double>& samples) {
    const size_t in = std::min(samples.size(), samplesFor(kFadeInMs));
    for (size_t i = 0; i < in; ++i) {
        samples[i] *= static_cast<double>(i) / static_cast<double>(in);
    }
    const size_t out = std::min(samples.size(), samplesFor(kFadeOutMs));
    for (size_t i = 0; i < out; ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(out);
        samples[samples.size() - 1 - i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * x);
    }
}

}  // namespace

std::vector<float> renderPatch(const Patch& patch, uint64_t seed) {
    SeededRandom random(seed);
    std::vector<Layer> layers;
    double endMs = 0;
    for (const auto& layer : patch.layers) {
        layers.push_back(jittered(layer, patch.jitter, random));
        endMs = std::max(endMs, layerEndMs(layers.back()));
    }
    const double lengthMs = std::min(kMaxLengthMs, patch.length > 0 ? patch.length : endMs + 2);
    std::vector<double> mix(samplesFor(lengthMs), 0.0);

    for (const auto& layer : layers) {
        double gain = layer.gain;
        for (int strike = 0; strike < layer.repeat; ++strike) {
            addStrike(mix, layer, samplesFor(layer.at + strike * layer.spacing), gain, random);
            gain *= layer.falloff;
        }
    }
    removeDc(mix);
    fadeEnds(mix);

    double peak = 0;
    for (double s : mix) {
        peak = std::max(peak, std::abs(s));
    }
    const double scale = peak > 0 ? std::pow(10.0, patch.level / 20.0) / peak : 0.0;
    std::vector<float> samples(mix.size());
    std::transform(mix.begin(), mix.end(), samples.begin(),
                   [scale](double s) { return static_cast<float>(s * scale); });
    return samples;
}

}  // namespace plinka::synth
