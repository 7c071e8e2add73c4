#pragma once

#include <memory>
#include <optional>
#include <string>

#include "base/Object.h"
#include "base/SeededRandom.h"
#include "platform/KeyedArchive.h"
#include "platform/SpeechSynthesizer.h"
#include "platform/SystemSoundService.h"

namespace plinka {

struct Platform;

// What every key code does when a key goes down (row 1) and when it comes up (row 0).
class SoundTheme final : public Codable {
  public:
    static const ClassInfo kClass;
    static constexpr int kSlotCount = 255;
    static constexpr int kSampleKeyCode = 254;
    // The most a theme or the user may vary the pitch of each play, either way, in cents.
    static constexpr int kMaxPitchVariation = 100;

    // The "Off" theme: every slot silent.
    static std::shared_ptr<SoundTheme> init(Platform& platform);
    // Decodes a theme record; the shape is not checked until playback.
    static std::shared_ptr<SoundTheme> initWithCoder(Decoder& coder, Platform& platform);
    // A theme of the given table and name, for the tools that write theme files.
    static std::shared_ptr<SoundTheme> themeWithSounds(Object sounds,
                                                       std::optional<std::string> name,
                                                       Platform& platform);

    explicit SoundTheme(Platform& platform);
    ~SoundTheme() override;
    SoundTheme(const SoundTheme&) = delete;
    SoundTheme& operator=(const SoundTheme&) = delete;

    const ClassInfo& objectClass() const override { return kClass; }
    std::string_view classForCoder() const override { return "SoundTheme"; }
    void encodeWithCoder(Encoder& coder) const override;

    const std::optional<std::string>& name() const { return _name; }
    // The table: an array of rows, each an array of slots.
    const Object& sounds() const { return _sounds; }
    // Plays, speaks or does nothing for one key event.
    void playSoundForKeyCode(int keyCode, int state);

    // The theme's own wishes: each play's pitch varied at random by up to this many cents
    // either way, and each key's sound placed in stereo where the key sits.
    int pitchVariation() const { return _pitchVariation; }
    void setPitchVariation(int cents);
    bool stereoPosition() const { return _stereoPosition; }
    void setStereoPosition(bool on);
    // The user's preferences over them: stereo position off wins over the theme; a pitch
    // variation, when the user set one, replaces the theme's.
    void applyPreferences(bool stereoPosition, std::optional<int> pitchVariation);
    // What the plays use: the theme's wishes after the user's preferences.
    int effectivePitchVariation() const { return pitchCents_; }
    bool effectiveStereoPosition() const { return panByKey_; }

  private:
    // Where and how the key's sound is heard this time: its place, and a fresh pitch.
    SoundPlacement placementForKeyCode(int keyCode);

    Platform& platform_;
    Object _sounds;
    std::optional<std::string> _name;
    std::unique_ptr<SpeechSynthesizer> _speech;
    int _pitchVariation = 0;
    bool _stereoPosition = true;
    bool userStereoPosition_ = true;
    std::optional<int> userPitchVariation_;
    bool panByKey_ = true;
    int pitchCents_ = 0;
    // The pitches need no secret randomness, only a cheap one: seeded from the platform's at the
    // first varied play.
    std::optional<SeededRandom> pitchRandom_;
};

}  // namespace plinka
