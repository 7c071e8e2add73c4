#include "platform/linux/audio/StreamResampler.h"

#include <cmath>

namespace plinka::audio {

StreamResampler::StreamResampler(int inputRate, int outputRate)
    : ratio_(static_cast<double>(outputRate) / inputRate) {
    int error = 0;
    // Speech is resampled while it plays: the fastest sinc converter is ample for a 22 kHz voice.
    state_.reset(src_new(SRC_SINC_FASTEST, 1, &error));
}

void StreamResampler::reset() {
    if (state_) {
        src_reset(state_.get());
    }
}

const std::vector<float>& StreamResampler::process(const float* in, size_t frames,
                                                   bool endOfInput) {
    out_.clear();
    if (!state_) {
        return out_;
    }
    piece_.resize(static_cast<size_t>(std::ceil(static_cast<double>(frames) * ratio_)) + 256);
    SRC_DATA data{};
    data.data_in = in;
    data.input_frames = static_cast<long>(frames);
    data.src_ratio = ratio_;
    data.end_of_input = endOfInput ? 1 : 0;
    // The converter may hold input back; with end of input it drains over several calls.
    for (;;) {
        data.data_out = piece_.data();
        data.output_frames = static_cast<long>(piece_.size());
        if (src_process(state_.get(), &data) != 0) {
            break;
        }
        out_.insert(out_.end(), piece_.begin(), piece_.begin() + data.output_frames_gen);
        data.data_in += data.input_frames_used;
        data.input_frames -= data.input_frames_used;
        if (data.output_frames_gen == 0 && data.input_frames == 0) {
            break;
        }
    }
    return out_;
}

}  // namespace plinka::audio
