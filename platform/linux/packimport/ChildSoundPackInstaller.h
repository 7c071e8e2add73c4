#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/SoundPackInstaller.h"

class QObject;
class QProcess;
class QTimer;

namespace plinka {

// Installs sound packs by running plinka-import-pack, so that the application's own process
// never maps the zip, compression and crypto libraries: they would stay mapped for the rest of
// its life for a pack imported now and then. The child runs while the event loop goes on; one
// that outlasts `timeout`, says too much, crashes or answers nonsense is a failure. Needs a Qt
// event loop on the thread that uses it.
class ChildSoundPackInstaller final : public SoundPackInstaller {
  public:
    // A large pack decodes and encodes hundreds of sounds; far beyond that, the child is stuck.
    static constexpr std::chrono::milliseconds kTimeout{120000};

    explicit ChildSoundPackInstaller(std::string program,
                                     std::chrono::milliseconds timeout = kTimeout);
    // Kills a child still running; its end is only reaped.
    ~ChildSoundPackInstaller() override;
    ChildSoundPackInstaller(const ChildSoundPackInstaller&) = delete;
    ChildSoundPackInstaller& operator=(const ChildSoundPackInstaller&) = delete;

    bool install(const std::string& pack, const Options& options, Completion done) override;
    void cancel() override;

    // What the child printed, read back; a failure when it is not what plinka-import-pack prints.
    static Result parseAnswer(const std::string& output, int exitStatus);

  private:
    void readAnswer();
    // Stops the child (killed if it runs; it goes once it has ended) and calls the completion.
    void finish(Result result);
    void stop();

    std::string program_;
    std::chrono::milliseconds timeout_;
    // Parent of every child started, the running one and those killed but not yet ended.
    std::unique_ptr<QObject> children_;
    std::unique_ptr<QTimer> deadline_;
    QProcess* child_ = nullptr;  // the running import
    std::string answer_;
    Completion done_;
};

}  // namespace plinka
