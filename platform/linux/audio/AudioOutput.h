#pragma once

#include <functional>
#include <memory>
#include <string>

namespace plinka {
class Log;
struct AudioOptions;
}  // namespace plinka

namespace plinka::audio {

class MixSource;

// Where the mixer is heard: a sound server's stream or an SDL device. Every output keeps itself
// open (and reopens itself) on its own thread and renders the mixer there.
class AudioOutput {
  public:
    virtual ~AudioOutput() = default;
    // Whether the mix is heard now.
    virtual bool isOpen() const = 0;
    // Any thread, never blocks: the mixer has something new to render.
    virtual void wake() = 0;
};

// Opens an output that plays the source; never null.
using OpenOutput =
    std::function<std::unique_ptr<AudioOutput>(MixSource&, const AudioOptions&, Log&)>;
// Connects an output to a sound server; null, with the reason in the string, when the server
// does not answer. With keepTrying (the bool) never null: the output waits for the server.
using ConnectOutput = std::function<std::unique_ptr<AudioOutput>(MixSource&, const AudioOptions&,
                                                                 Log&, bool, std::string*)>;

}  // namespace plinka::audio
