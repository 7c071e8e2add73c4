#include "MonitorRecorder.h"

#include <filesystem>

#include "Eventually.h"
#include "TestFiles.h"
#include "XvfbServer.h"

namespace plinka::testing {
namespace {

constexpr size_t kFrameBytes = 2 * sizeof(float);

}  // namespace

MonitorRecorder::MonitorRecorder(const std::string& serverAddress, const std::string& sink,
                                 int fragmentFrames) {
    const std::string program = programPath("parec");
    if (program.empty()) {
        return;
    }
    const size_t latency = static_cast<size_t>(fragmentFrames) * kFrameBytes;
    parec_ = std::make_unique<ChildProcess>(
        program,
        ChildProcess::Options{
            .arguments = {"--server=" + serverAddress, "--device=" + sink + ".monitor", "--raw",
                          "--format=float32le", "--rate=48000", "--channels=2",
                          "--latency=" + std::to_string(latency), directory_.file("monitor.f32")}});
    recording_ = eventually([this] { return frames() > 0; }, std::chrono::seconds(10));
}

std::vector<float> MonitorRecorder::samples() const {
    return readFloats(directory_.file("monitor.f32"));
}

size_t MonitorRecorder::frames() const {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(directory_.file("monitor.f32"), error);
    return error ? 0 : static_cast<size_t>(bytes) / kFrameBytes;
}

}  // namespace plinka::testing
