#include "platform/linux/audio/SdlAudioOutput.h"

#include <string>

#include "base/Log.h"
#include "platform/linux/audio/MixSource.h"
#include "platform/linux/audio/RenderIntoNothing.h"

namespace plinka::audio {

SdlAudioOutput::SdlAudioOutput(MixSource& source, const AudioOptions& options, Log& log)
    : source_(source),
      options_(options),
      log_(log),
      retryDelay_(options.devicePollInterval),
      discardBuffer_(static_cast<size_t>(options.bufferFrames) * 2),
      supervisor_([this] { supervise(); }) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return firstAttemptDone_; });
}

std::unique_ptr<AudioOutput> SdlAudioOutput::create(MixSource& source, const AudioOptions& options,
                                                    Log& log) {
    return std::make_unique<SdlAudioOutput>(source, options, log);
}

SdlAudioOutput::~SdlAudioOutput() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    supervisor_.join();
}

void SDLCALL SdlAudioOutput::fill(void* self, Uint8* stream, int bytes) {
    auto* output = static_cast<SdlAudioOutput*>(self);
    output->source_.render(reinterpret_cast<float*>(stream),
                           static_cast<size_t>(bytes) / (2 * sizeof(float)));
}

void SdlAudioOutput::reportFirstAttempt() {
    {
        std::lock_guard lock(mutex_);
        firstAttemptDone_ = true;
    }
    changed_.notify_all();
}

void SdlAudioOutput::supervise() {
    open();
    reportFirstAttempt();
    auto lastCheck = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex_);
    while (!changed_.wait_for(lock, options_.devicePollInterval, [this] { return stopping_; })) {
        lock.unlock();
        const auto now = std::chrono::steady_clock::now();
        const SDL_AudioDeviceID device = device_.load(std::memory_order_relaxed);
        if (device != 0 && SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_STOPPED) {
            log_.log("The audio output device was lost; reopening it");
            failureLogged_ = true;  // the loss is the one line until a device plays again
            close();
        }
        if (device_.load(std::memory_order_relaxed) == 0) {
            renderIntoNothing(source_, now - lastCheck, discardBuffer_);
            if (now >= nextAttempt_) {
                open();
            }
        }
        lastCheck = now;
        lock.lock();
    }
    lock.unlock();
    close();
    SDL_Quit();  // also frees SDL's hints; nothing else in the process uses SDL
}

bool SdlAudioOutput::open() {
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Plinka");
    // The application ends on SIGINT and SIGTERM itself; SDL would only note them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        reportNoDevice();
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = source_.sampleRate();
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = static_cast<Uint16>(options_.bufferFrames);
    wanted.callback = &SdlAudioOutput::fill;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts if the hardware differs, so the mixer keeps one rate.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) {
        reportNoDevice();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    failureLogged_ = false;
    retryDelay_ = options_.devicePollInterval;
    device_.store(device, std::memory_order_release);
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void SdlAudioOutput::reportNoDevice() {
    // Every attempt costs the sound server (and ALSA prints to stderr): back off to kMaxRetryDelay.
    nextAttempt_ = std::chrono::steady_clock::now() + retryDelay_;
    retryDelay_ = std::min(retryDelay_ * 2, kMaxRetryDelay);
    if (!failureLogged_) {
        log_.log(std::string("No audio output device (") + SDL_GetError() +
                 "); sounds are dropped until one can be opened");
        failureLogged_ = true;
    }
}

void SdlAudioOutput::close() {
    const SDL_AudioDeviceID device = device_.exchange(0, std::memory_order_acq_rel);
    if (device == 0) {
        return;
    }
    // Returns once the callback has finished: the mixer's audio side is ours after this.
    SDL_CloseAudioDevice(device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace plinka::audio
