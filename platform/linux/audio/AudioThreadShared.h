#pragma once

#include <atomic>

namespace plinka::audio {

// Something the audio thread reads without a lock (a decoded sound, a speech stream). The
// control thread takes a reference for every command it sends that names the object; the audio
// thread keeps it while a voice or slot uses the object and drops it when done. Once disposed and
// unreferenced the audio thread can no longer reach it, so the control thread may free it.
class AudioThreadShared {
  public:
    virtual ~AudioThreadShared() = default;

    // Control thread: no new voice may start on it; voices using it stop at their next block.
    void dispose() { disposed_.store(true, std::memory_order_release); }
    bool isDisposed() const { return disposed_.load(std::memory_order_acquire); }

    void retain() { references_.fetch_add(1, std::memory_order_acq_rel); }
    void releaseReference() { references_.fetch_sub(1, std::memory_order_acq_rel); }
    // Control thread: disposed and let go by the audio thread.
    bool canBeFreed() const {
        return isDisposed() && references_.load(std::memory_order_acquire) == 0;
    }

  private:
    std::atomic<bool> disposed_{false};
    std::atomic<int> references_{0};
};

}  // namespace plinka::audio
