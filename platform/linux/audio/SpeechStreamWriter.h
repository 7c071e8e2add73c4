#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/linux/audio/SpeechStream.h"

namespace plinka::audio {

// The worker's side of a SpeechStream for one utterance: packs mono speech into stereo blocks of
// the utterance's generation and queues each block when full.
class SpeechStreamWriter {
  public:
    // Called while the stream is full; false gives the utterance up.
    using WaitForSpace = std::function<bool(SpeechStream&)>;

    SpeechStreamWriter(SpeechStream& stream, uint32_t generation, WaitForSpace waitForSpace);
    // Whether this utterance is still the one to be heard.
    bool isCurrent() const;
    // Queues the frames; false once the utterance has been cut off or given up.
    bool write(const float* mono, size_t frames);
    // Queues the last, partly filled block and marks the utterance as fully queued.
    void finish();

  private:
    SpeechStream& stream_;
    const uint32_t generation_;
    WaitForSpace waitForSpace_;
    StreamBlock* block_ = nullptr;  // taken from the ring, not yet queued
};

}  // namespace plinka::audio
