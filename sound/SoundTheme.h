#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "base/Object.h"
#include "platform/KeyedArchive.h"
#include "platform/SpeechSynthesizer.h"

namespace plinka {

struct Platform;

// What every key code does when a key goes down (row 1) and when it comes up (row 0).
class SoundTheme final : public Codable {
  public:
    static const ClassInfo kClass;
    static constexpr int kSlotCount = 255;
    static constexpr int kSampleKeyCode = 254;

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

  private:
    Platform& platform_;
    Object _sounds;
    std::optional<std::string> _name;
    std::unique_ptr<SpeechSynthesizer> _speech;
    std::atomic_flag offMainThreadLogged_;
};

}  // namespace plinka
