#include "platform/linux/audio/RenderIntoNothing.h"

#include <algorithm>

#include "platform/linux/audio/Mixer.h"

namespace plinka::audio {

void renderIntoNothing(Mixer& mixer, std::chrono::steady_clock::duration elapsed,
                       std::vector<float>& scratch) {
    const double seconds = std::chrono::duration<double>(elapsed).count();
    // At most a few seconds' worth, should the caller have been held up.
    size_t frames = static_cast<size_t>(std::clamp(seconds, 0.0, 5.0) * mixer.sampleRate());
    const size_t chunk = scratch.size() / 2;
    while (frames > 0 && chunk > 0) {
        const size_t count = std::min(frames, chunk);
        mixer.render(scratch.data(), count);
        frames -= count;
    }
}

}  // namespace plinka::audio
