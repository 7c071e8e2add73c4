#include "TimedRecorder.h"

#include "MonitorClockRecorder.h"
#include "PipeWireRecorder.h"
#include "SoundServer.h"

namespace plinka::testing {

std::unique_ptr<TimedRecorder> recordWithTimes(const SoundServer& server, int fragmentFrames,
                                               bool keepsSinkAwake) {
    // PipeWire's own stream is exact to the graph's cycle, where its PulseAudio service's stream
    // clock wanders.
    if (server.name() == "PipeWire") {
        return std::make_unique<PipeWireRecorder>(SoundServer::kSink, fragmentFrames,
                                                  keepsSinkAwake);
    }
    return std::make_unique<MonitorClockRecorder>(server.address(), SoundServer::kSink,
                                                  fragmentFrames, keepsSinkAwake);
}

}  // namespace plinka::testing
