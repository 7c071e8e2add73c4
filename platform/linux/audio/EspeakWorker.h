#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/linux/audio/SpeechEngine.h"

namespace plinka {
class Log;
}

namespace plinka::audio {

class SpeechStream;
class StreamResampler;

// The one thread that speaks through the speech engine (espeak-ng): it synthesizes queued texts
// with the default voice, resamples them to the output rate and feeds each into its stream.
// Texts are synthesized in turn: while one waits for room in its full stream, texts of other
// synthesizers wait behind it.
class EspeakWorker {
  public:
    // Starts the thread and returns once the engine it starts is ready or known to be unavailable
    // (logged). onQueued is called on the worker's thread after speech is queued into a stream.
    EspeakWorker(int outputRate, Log& log, const StartSpeechEngine& startEngine,
                 std::function<void()> onQueued);
    ~EspeakWorker();
    EspeakWorker(const EspeakWorker&) = delete;
    EspeakWorker& operator=(const EspeakWorker&) = delete;

    bool isAvailable() const { return available_; }
    // Queues the text as the stream's utterance of that generation; returns at once. The text
    // is skipped, or cut off, as soon as the stream's generation moves on.
    void enqueue(std::shared_ptr<SpeechStream> stream, uint32_t generation, std::string text);
    // Returns once every queued text is synthesized, or the worker waits for a stream that is
    // full: what the streams hold is then fixed until the mixer renders.
    void waitUntilSettled();
    // The same, giving up after the timeout; whether it settled.
    bool waitUntilSettled(std::chrono::milliseconds timeout);

  private:
    struct Request {
        std::shared_ptr<SpeechStream> stream;
        uint32_t generation;
        std::string text;
    };

    void run(int outputRate, const StartSpeechEngine& startEngine);
    void speak(SpeechEngine& engine, const Request& request, StreamResampler& resampler);
    bool waitForSpace(SpeechStream& stream);
    bool isSettled() const;

    Log& log_;
    const std::function<void()> onQueued_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Request> queue_;
    bool started_ = false;
    bool available_ = false;
    bool stopping_ = false;
    bool busy_ = false;
    SpeechStream* waitingOn_ = nullptr;
    bool speakFailureLogged_ = false;  // the worker's thread only
    std::thread thread_;
};

}  // namespace plinka::audio
