#pragma once

namespace plinka::audio {

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

}  // namespace plinka::audio
