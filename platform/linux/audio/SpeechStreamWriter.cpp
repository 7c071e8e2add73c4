#include "platform/linux/audio/SpeechStreamWriter.h"

#include <algorithm>
#include <utility>

namespace plinka::audio {

SpeechStreamWriter::SpeechStreamWriter(SpeechStream& stream, uint32_t generation,
                                       WaitForSpace waitForSpace)
    : stream_(stream), generation_(generation), waitForSpace_(std::move(waitForSpace)) {}

bool SpeechStreamWriter::isCurrent() const {
    return stream_.generation.load(std::memory_order_acquire) == generation_;
}

bool SpeechStreamWriter::write(const float* mono, size_t frames) {
    while (frames > 0) {
        if (!isCurrent()) {
            return false;
        }
        if (block_ == nullptr) {
            block_ = stream_.blocks.writeSlot();
            if (block_ == nullptr) {
                if (!waitForSpace_(stream_)) {
                    return false;
                }
                continue;
            }
            block_->generation = generation_;
            block_->frames = 0;
        }
        const size_t count = std::min<size_t>(frames, kStreamBlockFrames - block_->frames);
        float* out = block_->samples.data() + 2 * block_->frames;
        for (size_t i = 0; i < count; ++i) {
            out[2 * i] = mono[i];
            out[2 * i + 1] = mono[i];
        }
        block_->frames += static_cast<uint32_t>(count);
        mono += count;
        frames -= count;
        if (block_->frames == kStreamBlockFrames) {
            stream_.blocks.publish();
            block_ = nullptr;
        }
    }
    return true;
}

void SpeechStreamWriter::finish() {
    if (block_ != nullptr && block_->frames > 0) {
        stream_.blocks.publish();
    }
    block_ = nullptr;
    stream_.synthesizedGeneration.store(generation_, std::memory_order_release);
}

}  // namespace plinka::audio
