#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/SoundPackInstaller.h"

namespace plinka::testing {

// Imports that end when the test says; records the packs asked for (" split" after those whose
// sounds are to be split into press and release).
class FakeSoundPackInstaller final : public SoundPackInstaller {
  public:
    bool install(const std::string& pack, const Options& options, Completion done) override {
        if (done_) {
            return false;
        }
        packs.push_back(options.splitRelease ? pack + " split" : pack);
        done_ = std::move(done);
        return true;
    }
    void cancel() override { done_ = nullptr; }
    // Ends the running import with the result.
    void finish(Result result) { std::exchange(done_, nullptr)(std::move(result)); }
    bool running() const { return static_cast<bool>(done_); }

    std::vector<std::string> packs;

  private:
    Completion done_;
};

}  // namespace plinka::testing
