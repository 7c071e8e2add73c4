#include <dirent.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "SoundFiles.h"
#include "platform/linux/audio/SoundFileDecoder.h"

namespace plinka::audio {
namespace {

using testing::ScratchDirectory;
using testing::sineSamples;
using testing::writeSoundFile;

// Rising zero crossings per second of the left channel.
double frequencyOf(const std::vector<float>& stereo, int sampleRate) {
    int crossings = 0;
    for (size_t frame = 1; 2 * frame < stereo.size(); ++frame) {
        if (stereo[2 * (frame - 1)] < 0.0f && stereo[2 * frame] >= 0.0f) {
            ++crossings;
        }
    }
    return crossings * static_cast<double>(sampleRate) / (stereo.size() / 2.0);
}

// Each container the themes use decodes to stereo at the output rate, with its length and
// pitch kept through the rate conversion.
TEST(SoundFileDecoder, DecodesMonoAtAnotherRateToStereoAtTheOutputRateFromEachContainer) {
    ScratchDirectory dir;
    for (const auto& [extension, format] :
         {std::pair{"aif", SF_FORMAT_AIFF}, {"wav", SF_FORMAT_WAV}, {"caf", SF_FORMAT_CAF}}) {
        SCOPED_TRACE(extension);
        const std::string path = dir.file(std::string("tone.") + extension);
        writeSoundFile(path, format | SF_FORMAT_PCM_16, 44100, 1,
                       sineSamples(44100 / 2, 44100, 440.0, 0.5f));

        const DecodedSamples decoded = decodeSoundFile(path, 48000);

        ASSERT_EQ(decoded.status, kNoErr);
        EXPECT_NEAR(decoded.stereo.size() / 2.0, 24000.0, 2.0);
        EXPECT_NEAR(frequencyOf(decoded.stereo, 48000), 440.0, 4.0);
        for (size_t i = 0; i < decoded.stereo.size(); i += 2) {
            ASSERT_EQ(decoded.stereo[i], decoded.stereo[i + 1]) << "mono is the same on both sides";
        }
        EXPECT_NEAR(testing::peakOf(decoded.stereo), 0.5f, 0.02f);
    }
}

TEST(SoundFileDecoder, KeepsTheFirstTwoOfManyChannelsAndSilencesNonFiniteSamples) {
    ScratchDirectory dir;
    const std::string path = dir.file("quad.wav");
    writeSoundFile(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 4,
                   {0.1f, 0.2f, 0.3f, 0.4f, NAN, INFINITY, 0.7f, 0.8f});

    const DecodedSamples decoded = decodeSoundFile(path, 48000);

    ASSERT_EQ(decoded.status, kNoErr);
    EXPECT_EQ(decoded.stereo, (std::vector<float>{0.1f, 0.2f, 0.0f, 0.0f}));
}

// Files that are no sounds are in tests/corpus; here what a repository cannot hold.
TEST(SoundFileDecoder, RefusesMissingAndSpecialFilesAtOnce) {
    ScratchDirectory dir;
    EXPECT_EQ(decodeSoundFile(dir.file("missing.wav"), 48000).status, kFileNotFoundErr);
    EXPECT_EQ(decodeSoundFile(dir.file("missing/inside.wav"), 48000).status, kFileNotFoundErr);
    // Special files are refused at once: a pipe with no writer must not hold the open.
    ::mkfifo(dir.file("pipe.wav").c_str(), 0600);
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", dir.file("socket.wav").c_str());
    ::bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    for (const std::string& special : {dir.path().string(), dir.file("pipe.wav"),
                                       dir.file("socket.wav"), std::string("/dev/null")}) {
        EXPECT_EQ(decodeSoundFile(special, 48000).status, kAudioFileNotRegularFileError) << special;
    }
    ::close(listening);
}

size_t openDescriptorCount() {
    size_t count = 0;
    DIR* fds = opendir("/proc/self/fd");
    while (readdir(fds) != nullptr) {
        ++count;
    }
    closedir(fds);
    return count;
}

TEST(SoundFileDecoder, LeavesNoFileOpenWhateverTheOutcome) {
    ScratchDirectory dir;
    std::ofstream(dir.file("garbage.caf")) << "garbage";
    writeSoundFile(dir.file("good.caf"), SF_FORMAT_CAF | SF_FORMAT_PCM_16, 22050, 1,
                   std::vector<float>(100, 0.1f));
    const size_t before = openDescriptorCount();
    for (int i = 0; i < 20; ++i) {
        decodeSoundFile(dir.file("garbage.caf"), 48000);
        decodeSoundFile(dir.file("good.caf"), 48000);
        decodeSoundFile(dir.path().string(), 48000);
    }
    EXPECT_EQ(openDescriptorCount(), before);
}

}  // namespace
}  // namespace plinka::audio
