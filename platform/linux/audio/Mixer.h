#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/SpscRing.h"
#include "platform/SystemSoundService.h"
#include "platform/linux/audio/DecodedSound.h"
#include "platform/linux/audio/MixSource.h"
#include "platform/linux/audio/SoftLimiter.h"
#include "platform/linux/audio/SpeechStream.h"

namespace plinka::audio {

// Mixes decoded sounds and speech streams into interleaved float stereo.
//
// Two sides, each on one thread at a time. The control side (play, attach, retire) runs on the
// main thread: it never blocks, and play allocates nothing; it sends commands through a
// fixed-capacity ring. The audio side (render) runs in the output's callback, or wherever an
// offline caller renders: it drains the commands, mixes, and never allocates, frees or locks.
//
// Voices: at most maxVoices sounds at once. A sound started while all are busy takes the voice
// that started first (the oldest); the same sound played again while playing gets a voice of its
// own, so the two overlap. Each voice has its own stereo position (equal-power, so a centred
// sound keeps its level) and pitch (the sound resampled as it plays). The mix gets the master
// volume and kHeadroom and then a SoftLimiter, so bursts never clip.
//
// An output may render only while something is to be heard: the mixer tells it through its
// wake-up whenever something new is queued, and isQuiet says when it may stop again.
class Mixer final : public MixSource {
  public:
    static constexpr float kHeadroom = 0.708f;  // -3 dB
    static constexpr size_t kMaxStreams = 8;
    // Pitch shifts beyond two octaves either way are taken as two octaves.
    static constexpr float kMaxPitchCents = 2400.0f;

    Mixer(int sampleRate, int maxVoices);
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // Control side: starts the sound, placed as asked, at the next rendered block; dropped if the
    // queue is full.
    void play(DecodedSound& sound, SoundPlacement placement = {});
    // Control side: the stream is heard from the next block on; false when kMaxStreams are in
    // use, or (for a while) when many attachments wait for the audio side to pick them up.
    bool attachStream(SpeechStream& stream);
    // Control side: disposes the object and keeps it until the audio side has let go of it.
    void retire(std::shared_ptr<AudioThreadShared> object);
    // Control side: detaches and retires a stream given to attachStream.
    void detachStream(std::shared_ptr<SpeechStream> stream);
    // Set once, before other threads use the mixer: called (on any thread, without blocking)
    // after something new is queued for the audio side.
    void setWakeUp(std::function<void()> wakeUp) { wakeUp_ = std::move(wakeUp); }
    // Any thread: tells the output that something new is queued (play and attachStream do).
    void wakeAudioSide() const;
    // Any thread, without locks: scales the whole mix, every sound and stream, from the next
    // block on (0 silent, 1 as recorded). While it is 0, plays are dropped, so a muted mixer
    // never wakes its output.
    void setVolume(float volume) { volume_.store(volume, std::memory_order_relaxed); }

    // Audio side: the next frames of the mix, interleaved stereo.
    void render(float* out, size_t frames) override;
    // Audio side: drops the queued speech of cut-off utterances now rather than at the next
    // render, making room for the current ones (offline rendering waits for them to fill).
    void dropStaleSpeech();
    // Audio side: whether the mix stays silent until something new is queued: no voice sounds,
    // no speech or command waits, and the limiter is back at full gain.
    bool isQuiet() override;

    int sampleRate() const override { return sampleRate_; }
    int maxVoices() const { return static_cast<int>(voices_.size()); }
    // Any thread: voices sounding after the last rendered block.
    int activeVoiceCount() const { return activeVoices_.load(std::memory_order_relaxed); }
    // Any thread: when the audio side last started a voice (steady clock); for latency probes.
    std::chrono::steady_clock::time_point lastVoiceStart() const;

  private:
    struct Play {
        DecodedSound* sound = nullptr;
        SoundPlacement placement;
    };
    struct Voice {
        DecodedSound* sound = nullptr;
        // In frames of the sound: whole unless the voice is resampled.
        double position = 0;
        // Frames of the sound per frame of the mix.
        double step = 1;
        ChannelGains gains;
        uint64_t startOrder = 0;
    };

    void freeRetired();
    void drainCommands();
    void drainAttachments();
    static void dropStaleBlocks(SpeechStream& stream, uint32_t current);
    void startVoice(const Play& play);
    // Adds the voice's next frames; false once it has played to its end.
    static bool mixVoice(Voice& voice, float* out, size_t frames);
    void placeStream(SpeechStream& stream);
    void endVoice(Voice& voice);
    void mixVoices(float* out, size_t frames);
    void mixStreams(float* out, size_t frames);
    static void mixStream(SpeechStream& stream, float* out, size_t frames);
    void applyVolume(float* out, size_t frames);

    const int sampleRate_;
    std::function<void()> wakeUp_;
    SpscRing<Play, 256> plays_;
    // Apart from the plays, so that a burst of key sounds never keeps a synthesizer out.
    SpscRing<SpeechStream*, 64> attachments_;
    std::vector<std::shared_ptr<AudioThreadShared>> retired_;  // control side
    size_t attachedStreams_ = 0;                               // control side

    // Audio side.
    std::vector<Voice> voices_;
    std::array<SpeechStream*, kMaxStreams> streams_{};
    uint64_t nextStartOrder_ = 1;
    SoftLimiter limiter_;
    float appliedVolume_ = 1.0f;

    std::atomic<float> volume_{1.0f};
    std::atomic<int> activeVoices_{0};
    std::atomic<int64_t> lastVoiceStartNanos_{0};
};

}  // namespace plinka::audio
