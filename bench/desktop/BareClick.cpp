// The least a key-sound program can be, for comparison: XInput 2 raw key presses in, a 20 ms
// 1 kHz burst out through SDL2's audio callback, 256 frames at 48 kHz. No theme, no mixer.
// Runs until killed.
#include <SDL2/SDL.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

constexpr int kRate = 48000;
constexpr int kBurstFrames = kRate / 50;

std::atomic<bool> pressed{false};

void SDLCALL fill(void*, Uint8* stream, int bytes) {
    static int position = kBurstFrames;
    auto* out = reinterpret_cast<float*>(stream);
    const int frames = bytes / static_cast<int>(2 * sizeof(float));
    if (pressed.exchange(false)) {
        position = 0;
    }
    for (int frame = 0; frame < frames; ++frame, ++position) {
        const float sample =
            position < kBurstFrames
                ? 0.5f *
                      static_cast<float>(std::sin(2 * std::numbers::pi * 1000 * position / kRate))
                : 0.0f;
        out[2 * frame] = sample;
        out[2 * frame + 1] = sample;
    }
}

}  // namespace

int main() {
    Display* display = XOpenDisplay(nullptr);
    int opcode = 0, event = 0, error = 0;
    if (display == nullptr ||
        !XQueryExtension(display, "XInputExtension", &opcode, &event, &error)) {
        std::fprintf(stderr, "no X display with XInput 2\n");
        return 1;
    }
    unsigned char mask[XIMaskLen(XI_RawKeyPress)] = {};
    XISetMask(mask, XI_RawKeyPress);
    XIEventMask events{XIAllMasterDevices, sizeof mask, mask};
    XISelectEvents(display, DefaultRootWindow(display), &events, 1);
    XFlush(display);

    SDL_AudioSpec wanted{};
    wanted.freq = kRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = 256;
    wanted.callback = fill;
    const SDL_AudioDeviceID device =
        SDL_Init(SDL_INIT_AUDIO) == 0 ? SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0) : 0;
    if (device == 0) {
        std::fprintf(stderr, "no audio device: %s\n", SDL_GetError());
        return 1;
    }
    SDL_PauseAudioDevice(device, 0);
    for (;;) {
        XEvent next;
        XNextEvent(display, &next);
        if (next.xcookie.type == GenericEvent && next.xcookie.extension == opcode &&
            next.xcookie.evtype == XI_RawKeyPress) {
            pressed = true;
        }
    }
}
