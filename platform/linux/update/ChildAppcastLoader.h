#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/AppcastLoader.h"

class QProcess;

namespace plinka {

// Fetches appcasts by running plinka-appcast, so that the application's own process never loads
// the network and TLS libraries: they would stay mapped for the rest of its life for one fetch
// at launch. A child that outlasts `timeout`, says too much or answers nonsense is a failure.
// Needs a Qt event loop.
class ChildAppcastLoader final : public AppcastLoader {
  public:
    // Beyond the fetch's own 30 s, the time to start and end the child.
    static constexpr std::chrono::milliseconds kTimeout{35000};

    explicit ChildAppcastLoader(std::string program, std::chrono::milliseconds timeout = kTimeout);
    // Children still running are ended without calling back.
    ~ChildAppcastLoader() override;
    ChildAppcastLoader(const ChildAppcastLoader&) = delete;
    ChildAppcastLoader& operator=(const ChildAppcastLoader&) = delete;

    void loadAppcast(const std::string& url, const std::vector<QueryItem>& query,
                     Completion done) override;

    // What the child printed, read back; a failure when it is not what plinka-appcast prints.
    static Result parseAnswer(const std::string& output, int exitStatus);

  private:
    std::string program_;
    std::chrono::milliseconds timeout_;
    std::vector<std::unique_ptr<QProcess>> children_;
};

}  // namespace plinka
