#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "base/SpscRing.h"
#include "platform/linux/audio/AudioThreadShared.h"

namespace plinka::audio {

constexpr size_t kStreamBlockFrames = 1024;

// A run of synthesized speech, stereo at the output rate, tagged with the utterance it belongs to.
struct StreamBlock {
    uint32_t generation = 0;
    uint32_t frames = 0;
    std::array<float, kStreamBlockFrames * 2> samples{};
};

// The voice of one synthesizer: the speech worker fills blocks, the audio thread plays them.
// Every utterance has a generation; blocks of any other generation than the current one are
// dropped unheard, so a new utterance cuts the old one off at the next audio block.
class SpeechStream final : public AudioThreadShared {
  public:
    // About 1.4 s at 48 kHz: enough that the worker stays ahead, small enough to keep.
    SpscRing<StreamBlock, 64> blocks;
    // Control thread: the utterance to be heard now.
    std::atomic<uint32_t> generation{0};
    // Worker: every block of this generation is queued.
    std::atomic<uint32_t> synthesizedGeneration{0};
    // Audio thread: every block of this generation has been played.
    std::atomic<uint32_t> finishedGeneration{0};
    // Audio thread only: frames of the front block already played.
    size_t playedFramesOfBlock = 0;
};

}  // namespace plinka::audio
