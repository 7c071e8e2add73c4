#include <dirent.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "SoundFiles.h"
#include "platform/linux/audio/SoundFileDecoder.h"

namespace plinka::audio {
namespace {

using testing::constantSamples;
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

struct Container {
    const char* extension;
    int format;
};

class SoundFileDecoderFormats : public ::testing::TestWithParam<Container> {};

// Each container the themes use decodes to stereo at the output rate, with its length and
// pitch kept through the rate conversion.
TEST_P(SoundFileDecoderFormats, DecodesMonoAtAnotherRateToStereoAtTheOutputRate) {
    ScratchDirectory dir;
    const std::string path = dir.file(std::string("tone.") + GetParam().extension);
    writeSoundFile(path, GetParam().format | SF_FORMAT_PCM_16, 44100, 1,
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

INSTANTIATE_TEST_SUITE_P(
    Containers, SoundFileDecoderFormats,
    ::testing::Values(Container{"aif", SF_FORMAT_AIFF}, Container{"aiff", SF_FORMAT_AIFF},
                      Container{"wav", SF_FORMAT_WAV}, Container{"caf", SF_FORMAT_CAF}),
    [](const auto& container) { return std::string(container.param.extension); });

TEST(SoundFileDecoder, KeepsStereoAtTheOutputRateSampleForSample) {
    ScratchDirectory dir;
    const std::string path = dir.file("stereo.wav");
    std::vector<float> samples;
    for (int frame = 0; frame < 100; ++frame) {
        samples.push_back(frame / 200.0f);
        samples.push_back(-frame / 400.0f);
    }
    writeSoundFile(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, samples);

    const DecodedSamples decoded = decodeSoundFile(path, 48000);

    ASSERT_EQ(decoded.status, kNoErr);
    EXPECT_EQ(decoded.stereo, samples);
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

TEST(SoundFileDecoder, AnswersWhyAFileCannotBeUsed) {
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

    std::ofstream(dir.file("garbage.wav")) << "this is not a sound, only text pretending to be";
    EXPECT_EQ(decodeSoundFile(dir.file("garbage.wav"), 48000).status,
              kAudioFileUnsupportedFileTypeError);
    std::ofstream(dir.file("empty.aif")).flush();
    EXPECT_EQ(decodeSoundFile(dir.file("empty.aif"), 48000).status,
              kAudioFileUnsupportedFileTypeError);

    // A wav header whose fields make no sense.
    std::ofstream(dir.file("broken.wav"), std::ios::binary)
        << std::string("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\0\0\0\0\0\0", 28)
        << std::string(16, '\0');
    const OSStatus broken = decodeSoundFile(dir.file("broken.wav"), 48000).status;
    EXPECT_NE(broken, kNoErr);

    writeSoundFile(dir.file("long.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 1,
                   constantSamples(static_cast<size_t>(8000 * (kMaxSoundSeconds + 1)), 1, 0.1f));
    EXPECT_EQ(decodeSoundFile(dir.file("long.wav"), 48000).status, kSoundTooLongError);
}

// A WAV file whose header claims the rate and channel count, with two gigabytes of samples
// that take no room on disk (a sparse file).
void writeClaimingWav(const std::string& path, uint32_t rate, uint16_t channels) {
    std::string header;
    auto put = [&](uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            header += static_cast<char>(value >> (8 * i) & 0xFF);
        }
    };
    header += "RIFF";
    put(0x7FFFFFF0, 4);
    header += "WAVEfmt ";
    put(16, 4);
    put(1, 2);  // PCM
    put(channels, 2);
    put(rate, 4);
    put(std::min<uint64_t>(uint64_t{rate} * channels * 2, 0xFFFFFFFF), 4);
    put(channels * 2u, 2);
    put(16, 2);
    header += "data";
    put(0x7FFFFFF0, 4);
    std::ofstream(path, std::ios::binary) << header;
    std::filesystem::resize_file(path, header.size() + 0x7FFFFFF0);
}

// Headers that claim absurd rates or channel counts are refused before anything is read; the
// decode runs in a child so that its peak memory can be measured.
TEST(SoundFileDecoder, AbsurdHeadersFailWithinBoundedMemory) {
    ScratchDirectory dir;
    writeClaimingWav(dir.file("fast.wav"), 0x7FFFFFFF, 1);
    writeClaimingWav(dir.file("wide.wav"), 48000, 746);
    for (const std::string name : {"fast.wav", "wide.wav"}) {
        const pid_t child = ::fork();
        if (child == 0) {
            const DecodedSamples decoded = decodeSoundFile(dir.file(name), 48000);
            ::_exit(decoded.status == kAudioFileUnsupportedDataFormatError ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << name;
    }
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    EXPECT_LT(usage.ru_maxrss, 300 * 1024) << "peak kB of the decoding children";
}

TEST(SoundFileDecoder, AnswersPermissionErrorForAnUnreadableFile) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    ScratchDirectory dir;
    const std::string path = dir.file("locked.wav");
    writeSoundFile(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, constantSamples(10, 1, 0.1f));
    chmod(path.c_str(), 0);
    EXPECT_EQ(decodeSoundFile(path, 48000).status, kAudioFilePermissionsError);
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
                   constantSamples(100, 1, 0.1f));
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
