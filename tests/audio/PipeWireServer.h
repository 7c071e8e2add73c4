#pragma once

#include <memory>
#include <string>

#include "ChildProcess.h"
#include "PrivateBus.h"
#include "SoundServer.h"

namespace plinka::testing {

// A private PipeWire server as a desktop runs it: pipewire, the wireplumber session manager
// (which links streams to the sink and suspends it when idle) and pipewire-pulse, on a private
// session bus, with the host's devices left alone.
class PipeWireServer final : public SoundServer {
  public:
    // Starts the server; running() says whether it answers.
    explicit PipeWireServer(const std::string& directory);
    ~PipeWireServer() override;

    std::string name() const override { return "PipeWire"; }
    bool running() const override { return pulse_ != nullptr; }
    std::vector<pid_t> pids() const override;
    void kill() override;
    bool start() override;

  private:
    std::unique_ptr<ChildProcess> run(const std::string& program) const;

    PrivateBus bus_;
    std::unique_ptr<ChildProcess> pipewire_;
    std::unique_ptr<ChildProcess> sessionManager_;
    std::unique_ptr<ChildProcess> pulse_;
};

}  // namespace plinka::testing
