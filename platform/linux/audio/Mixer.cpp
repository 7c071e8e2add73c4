#include "platform/linux/audio/Mixer.h"

#include <algorithm>

namespace plinka::audio {

Mixer::Mixer(int sampleRate, int maxVoices)
    : sampleRate_(sampleRate),
      voices_(static_cast<size_t>(std::max(maxVoices, 1))),
      limiter_(sampleRate) {}

// The owner stops the audio side first; what is retired or still queued goes with the mixer.
Mixer::~Mixer() = default;

void Mixer::play(DecodedSound& sound) {
    if (volume_.load(std::memory_order_relaxed) == 0.0f) {
        return;
    }
    sound.retain();
    if (!plays_.tryPush(&sound)) {
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
    while (DecodedSound** queued = plays_.readSlot()) {
        DecodedSound& sound = **queued;
        plays_.release();
        if (sound.isDisposed()) {
            sound.releaseReference();
        } else {
            startVoice(sound);
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

void Mixer::startVoice(DecodedSound& sound) {
    auto free = std::find_if(voices_.begin(), voices_.end(),
                             [](const Voice& voice) { return voice.sound == nullptr; });
    if (free == voices_.end()) {
        free = std::min_element(voices_.begin(), voices_.end(), [](const Voice& a, const Voice& b) {
            return a.startOrder < b.startOrder;
        });
        endVoice(*free);
    }
    *free = Voice{&sound, 0, nextStartOrder_++};
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
        const size_t count = std::min(frames, voice.sound->frames() - voice.position);
        voice.sound->mixInto(out, voice.position, count);
        voice.position += count;
        if (voice.position == voice.sound->frames()) {
            endVoice(voice);
        }
    }
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
