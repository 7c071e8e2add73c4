#include "platform/linux/audio/Mixer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace plinka::audio {

namespace {

// Equal power, scaled so that a centred sound keeps its level on both channels: a mono sound
// moves across, and a stereo sound's channels are balanced.
ChannelGains gainsFor(float pan) {
    if (!(pan != 0.0f && std::isfinite(pan))) {
        return {};
    }
    const double angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0) * std::numbers::pi / 4;
    return {static_cast<float>(std::numbers::sqrt2 * std::cos(angle)),
            static_cast<float>(std::numbers::sqrt2 * std::sin(angle))};
}

double stepFor(float cents) {
    if (!(cents != 0.0f && std::isfinite(cents))) {
        return 1.0;
    }
    return std::exp2(std::clamp(cents, -Mixer::kMaxPitchCents, Mixer::kMaxPitchCents) / 1200.0);
}

}  // namespace

Mixer::Mixer(int sampleRate, int maxVoices)
    : sampleRate_(sampleRate),
      voices_(static_cast<size_t>(std::max(maxVoices, 1))),
      limiter_(sampleRate) {}

// The owner stops the audio side first; what is retired or still queued goes with the mixer.
Mixer::~Mixer() = default;

void Mixer::play(DecodedSound& sound, SoundPlacement placement) {
    if (volume_.load(std::memory_order_relaxed) == 0.0f) {
        return;
    }
    sound.retain();
    if (!plays_.tryPush(Play{&sound, placement})) {
        sound.releaseReference();
        return;
    }
    wakeAudioSide();
}

void Mixer::wakeAudioSide() const {
    if (wakeUp_) {
        wakeUp_();
    }
}

bool Mixer::attachStream(SpeechStream& stream) {
    freeRetired();
    if (attachedStreams_ == kMaxStreams) {
        return false;
    }
    stream.retain();
    if (!attachments_.tryPush(&stream)) {
        stream.releaseReference();
        return false;
    }
    ++attachedStreams_;
    wakeAudioSide();
    return true;
}

void Mixer::detachStream(std::shared_ptr<SpeechStream> stream) {
    --attachedStreams_;
    retire(std::move(stream));
}

void Mixer::retire(std::shared_ptr<AudioThreadShared> object) {
    object->dispose();
    freeRetired();
    if (!object->canBeFreed()) {
        wakeAudioSide();  // so that it lets go
        retired_.push_back(std::move(object));
    }
}

void Mixer::freeRetired() {
    std::erase_if(retired_, [](const auto& object) { return object->canBeFreed(); });
}

std::chrono::steady_clock::time_point Mixer::lastVoiceStart() const {
    return std::chrono::steady_clock::time_point(
        std::chrono::nanoseconds(lastVoiceStartNanos_.load(std::memory_order_acquire)));
}

void Mixer::render(float* out, size_t frames) {
    drainCommands();
    std::fill(out, out + 2 * frames, 0.0f);
    mixVoices(out, frames);
    mixStreams(out, frames);
    applyVolume(out, frames);
    limiter_.process(out, frames);
    const auto sounding = std::count_if(voices_.begin(), voices_.end(),
                                        [](const Voice& voice) { return voice.sound != nullptr; });
    activeVoices_.store(static_cast<int>(sounding), std::memory_order_relaxed);
}

// A new volume is reached over one block: a step would click in a sound that is playing.
void Mixer::applyVolume(float* out, size_t frames) {
    const float target = volume_.load(std::memory_order_relaxed);
    const float step = frames > 0 ? (target - appliedVolume_) / static_cast<float>(frames) : 0.0f;
    for (size_t frame = 0; frame < frames; ++frame) {
        const float gain = kHeadroom * (appliedVolume_ + step * static_cast<float>(frame + 1));
        out[2 * frame] *= gain;
        out[2 * frame + 1] *= gain;
    }
    appliedVolume_ = target;
}

void Mixer::drainAttachments() {
    while (SpeechStream** stream = attachments_.readSlot()) {
        placeStream(**stream);
        attachments_.release();
    }
}

void Mixer::dropStaleSpeech() {
    drainAttachments();
    for (SpeechStream* stream : streams_) {
        if (stream != nullptr) {
            dropStaleBlocks(*stream, stream->generation.load(std::memory_order_acquire));
        }
    }
}

bool Mixer::isQuiet() {
    if (plays_.size() != 0 || attachments_.size() != 0 || activeVoices_.load() != 0 ||
        limiter_.gain() < SoftLimiter::kUnity) {
        return false;
    }
    return std::none_of(streams_.begin(), streams_.end(), [](SpeechStream* stream) {
        // A disposed stream is let go at the next render.
        return stream != nullptr && (stream->isDisposed() || stream->blocks.size() != 0);
    });
}

void Mixer::dropStaleBlocks(SpeechStream& stream, uint32_t current) {
    while (StreamBlock* block = stream.blocks.readSlot()) {
        if (block->generation == current) {
            return;
        }
        stream.playedFramesOfBlock = 0;
        stream.blocks.release();
    }
}

void Mixer::drainCommands() {
    drainAttachments();
    bool started = false;
    while (Play* queued = plays_.readSlot()) {
        const Play play = *queued;
        plays_.release();
        if (play.sound->isDisposed()) {
            play.sound->releaseReference();
        } else {
            startVoice(play);
            started = true;
        }
    }
    if (started) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        lastVoiceStartNanos_.store(
            std::chrono::duration_cast<std::chrono::nanoseconds>(now).count(),
            std::memory_order_release);
    }
}

void Mixer::startVoice(const Play& play) {
    auto free = std::find_if(voices_.begin(), voices_.end(),
                             [](const Voice& voice) { return voice.sound == nullptr; });
    if (free == voices_.end()) {
        free = std::min_element(voices_.begin(), voices_.end(), [](const Voice& a, const Voice& b) {
            return a.startOrder < b.startOrder;
        });
        endVoice(*free);
    }
    *free = Voice{play.sound, 0, stepFor(play.placement.pitchCents), gainsFor(play.placement.pan),
                  nextStartOrder_++};
}

void Mixer::endVoice(Voice& voice) {
    DecodedSound* sound = voice.sound;
    voice.sound = nullptr;
    sound->releaseReference();
}

void Mixer::mixVoices(float* out, size_t frames) {
    for (Voice& voice : voices_) {
        if (voice.sound == nullptr) {
            continue;
        }
        if (voice.sound->isDisposed()) {
            endVoice(voice);
            continue;
        }
        if (!mixVoice(voice, out, frames)) {
            endVoice(voice);
        }
    }
}

bool Mixer::mixVoice(Voice& voice, float* out, size_t frames) {
    const DecodedSound& sound = *voice.sound;
    if (voice.step != 1.0) {
        sound.mixResampledInto(out, voice.position, voice.step, frames, voice.gains);
        return voice.position < static_cast<double>(sound.frames());
    }
    const auto position = static_cast<size_t>(voice.position);
    const size_t count = std::min(frames, sound.frames() - position);
    sound.mixInto(out, position, count, voice.gains);
    voice.position = static_cast<double>(position + count);
    return position + count < sound.frames();
}

void Mixer::placeStream(SpeechStream& stream) {
    for (SpeechStream*& slot : streams_) {
        if (slot != nullptr && slot->isDisposed()) {
            slot->releaseReference();
            slot = nullptr;
        }
    }
    const auto free = std::find(streams_.begin(), streams_.end(), nullptr);
    if (stream.isDisposed() || free == streams_.end()) {
        stream.releaseReference();
        return;
    }
    *free = &stream;
}

void Mixer::mixStreams(float* out, size_t frames) {
    for (SpeechStream*& slot : streams_) {
        if (slot == nullptr) {
            continue;
        }
        if (slot->isDisposed()) {
            slot->releaseReference();
            slot = nullptr;
            continue;
        }
        mixStream(*slot, out, frames);
    }
}

void Mixer::mixStream(SpeechStream& stream, float* out, size_t frames) {
    const uint32_t current = stream.generation.load(std::memory_order_acquire);
    // Read before looking at the ring: once this says "all queued", an empty ring means done.
    const bool allQueued = stream.synthesizedGeneration.load(std::memory_order_acquire) == current;
    size_t mixed = 0;
    while (mixed < frames) {
        dropStaleBlocks(stream, current);
        StreamBlock* block = stream.blocks.readSlot();
        if (block == nullptr) {
            break;
        }
        const size_t count =
            std::min<size_t>(frames - mixed, block->frames - stream.playedFramesOfBlock);
        const float* in = block->samples.data() + 2 * stream.playedFramesOfBlock;
        float* to = out + 2 * mixed;
        for (size_t i = 0; i < 2 * count; ++i) {
            to[i] += in[i];
        }
        mixed += count;
        stream.playedFramesOfBlock += count;
        if (stream.playedFramesOfBlock == block->frames) {
            stream.playedFramesOfBlock = 0;
            stream.blocks.release();
        }
    }
    if (allQueued && stream.blocks.readSlot() == nullptr) {
        stream.finishedGeneration.store(current, std::memory_order_release);
    }
}

}  // namespace plinka::audio
