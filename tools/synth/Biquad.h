#pragma once

namespace plinka::synth {

enum class FilterType { None, Lowpass, Highpass, Bandpass };

// A second-order filter section with the usual audio-cookbook coefficients.
class Biquad {
  public:
    Biquad(FilterType type, double frequency, double q, double sampleRate);

    double process(double x) {
        const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

  private:
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

}  // namespace plinka::synth
