#pragma once

#include <atomic>
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

// What every key code does when a key goes down (row 1) and when it comes up (row 0), and what
// the mouse buttons do likewise.
class SoundTheme final : public Codable {
  public:
    static const ClassInfo kClass;
    static constexpr int kSlotCount = 255;
    static constexpr int kSampleKeyCode = 254;
    // Mouse slots per row: left, right and middle button.
    static constexpr int kMouseButtonCount = 3;
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
    // The mouse buttons' table, shaped like the keys' with a slot per button; Nil when the
    // theme has none.
    const Object& mouseSounds() const { return _mouseSounds; }
    void setMouseSounds(Object mouseSounds) { _mouseSounds = std::move(mouseSounds); }
    // Plays, speaks or does nothing for one key event.
    void playSoundForKeyCode(int keyCode, int state);
    // Plays, speaks or does nothing for one mouse button event; a table too short for it (the
    // table of a theme without mouse sounds) is silent, and nothing is logged per event.
    void playSoundForMouseButton(int button, int state);

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
    // Whether this is the main thread; off it, says once that sounds play only there.
    bool isOnMainThread();
    // Plays, speaks or skips what a slot holds; a value that is no sound is silent.
    void playSlot(const Object& slot, const SoundPlacement& placement);
    // Where and how a sound is heard this time: at the stereo position, with a fresh pitch.
    SoundPlacement placement(float pan);

    Platform& platform_;
    Object _sounds;
    Object _mouseSounds;
    std::optional<std::string> _name;
    std::unique_ptr<SpeechSynthesizer> _speech;
    std::atomic_flag offMainThreadLogged_;
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
