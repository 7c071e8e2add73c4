#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "ScratchDirectory.h"
#include "Signal.h"
#include "platform/SystemSoundService.h"

namespace plinka::testing {

// Writes interleaved float samples through libsndfile; format is an SF_FORMAT_* container and
// subtype, e.g. SF_FORMAT_WAV | SF_FORMAT_PCM_16.
void writeSoundFile(const std::string& path, int format, int sampleRate, int channels,
                    const std::vector<float>& samples);
// A file URL for the path.
std::string urlOf(const std::string& path);
// A mono sound at 48 kHz of the samples, written as a float file in the folder and made a sound
// of the service; throws when it cannot be made.
SystemSoundID makeSound(SystemSoundService& service, const ScratchDirectory& folder,
                        const std::vector<float>& mono);
// A mono sine of the frequency.
std::vector<float> sineSamples(size_t frames, int sampleRate, double frequency, float amplitude);
// The root mean square of the samples [from, to).
double rmsOf(const std::vector<float>& samples, size_t from = 0, size_t to = SIZE_MAX);
// The frames (of interleaved stereo) at which the signal first becomes non-zero; npos if never.
size_t firstSoundingFrame(const std::vector<float>& stereo, size_t from = 0);

}  // namespace plinka::testing
