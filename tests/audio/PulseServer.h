#pragma once

#include <memory>
#include <string>

#include "ChildProcess.h"
#include "SoundServer.h"

namespace plinka::testing {

// A private PulseAudio server (pulseaudio -n, as any user, root too).
class PulseServer final : public SoundServer {
  public:
    // Starts the server; running() says whether it answers.
    explicit PulseServer(const std::string& directory);
    ~PulseServer() override;

    std::string name() const override { return "PulseAudio"; }
    bool running() const override { return server_ != nullptr; }
    std::vector<pid_t> pids() const override;
    void kill() override { server_.reset(); }
    bool start() override;

  private:
    std::unique_ptr<ChildProcess> server_;
};

}  // namespace plinka::testing
