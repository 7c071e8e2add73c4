#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Object.h"
#include "platform/KeyedArchive.h"
#include "platform/SystemSoundService.h"

namespace plinka {

struct Platform;

// One short audio clip, made into a system sound when it is created so that playing it is one
// call with no file access and no allocation.
class Sound final : public Codable {
  public:
    static const ClassInfo kClass;

    // The audio file types looked for by name, in order.
    static const std::vector<std::string>& soundUnfilteredTypes();

    // The application's audio resource of that name, trying each type in order.
    static std::shared_ptr<Sound> initWithName(const std::string& name, Platform& platform);
    // A non-transient sound of the audio file at the file URL.
    static std::shared_ptr<Sound> initWithContentsOfURL(const std::string& url, Platform& platform);
    // Decodes a sound record; nullptr when its system sound can't be made.
    static std::shared_ptr<Sound> initWithCoder(Decoder& coder, Platform& platform);

    explicit Sound(Platform& platform);
    ~Sound() override;
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    const ClassInfo& objectClass() const override { return kClass; }
    void encodeWithCoder(Encoder& coder) const override;

    // Starts the system sound, placed as asked, and returns at once.
    void play(SoundPlacement placement = {}) const;
    // The default description and a dictionary of the fields.
    std::string description() const;

    const std::optional<std::string>& name() const { return _name; }
    void setName(std::optional<std::string> name) { _name = std::move(name); }
    bool transient() const { return _transient; }
    void setTransient(bool transient) { _transient = transient; }
    const std::optional<std::string>& url() const { return _url; }
    SystemSoundID soundID() const { return _sound; }

    // Makes the system sound from _url; when it fails, logs why with the file's path.
    bool _setupSoundFile();
    // A new path in the temporary directory; the file is not created.
    std::string _pathForTemporaryFileWithPrefix(const std::string& prefix);
    // The file URL of _pathForTemporaryFileWithPrefix.
    std::string _urlForTemporaryFileWithPrefix(const std::string& prefix);

  private:
    // Removes the temporary file this sound wrote, if it is still there.
    void removeTemporaryFile();

    Platform& platform_;
    SystemSoundID _sound = 0;
    std::optional<std::string> _url;
    std::optional<std::string> _name;
    bool _transient = false;
    // The file this sound wrote for its embedded data; it goes with the sound at the latest.
    std::optional<std::string> temporaryPath_;
    // The embedded data, kept once its file is gone so that the sound can still be archived.
    Object data_;
};

}  // namespace plinka
