#pragma once

#include <chrono>
#include <string>

#include "platform/SoundPackInstaller.h"

namespace plinka {

// Installs sound packs by running plinka-import-pack, so that the application's own process
// never maps the zip, compression and crypto libraries: they would stay mapped for the rest of
// its life for a pack imported now and then. A child that outlasts `timeout`, says too much,
// crashes or answers nonsense is a failure.
class ChildSoundPackInstaller : public SoundPackInstaller {
  public:
    // A large pack decodes and encodes hundreds of sounds; far beyond that, the child is stuck.
    static constexpr std::chrono::milliseconds kTimeout{120000};

    explicit ChildSoundPackInstaller(std::string program,
                                     std::chrono::milliseconds timeout = kTimeout);

    // Waits for the child as the import in the process did: the caller's thread blocks until the
    // child has answered, ended or run out of time.
    Result install(const std::string& pack, const Options& options) const override;

    // What the child printed, read back; a failure when it is not what plinka-import-pack prints.
    static Result parseAnswer(const std::string& output, int exitStatus);

  private:
    std::string program_;
    std::chrono::milliseconds timeout_;
};

}  // namespace plinka
