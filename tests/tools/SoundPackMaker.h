#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace plinka::testing {

// A short tone burst: a sine that starts at once and dies away within `ms` (mono, or the same
// on both channels).
std::vector<float> toneBurst(double frequency, double ms, int rate, int channels);

// Writes a tone burst through libsndfile in the format (an SF_FORMAT_* container and subtype).
void writeTone(const std::filesystem::path& file, int format, double frequency, double ms,
               int rate = 44100, int channels = 2);

// Writes samples, making the file's folders.
void writeSamples(const std::filesystem::path& file, int format, int rate, int channels,
                  const std::vector<float>& samples);

// Formats the packs come in.
int oggFormat();
int flacFormat();
int mp3Format();
int wavFormat();

// How strongly the first channel of interleaved audio holds the frequency over the frames
// [from, from + count) (Goertzel power, normalised by the frame count).
double toneStrength(const std::vector<float>& samples, int channels, int rate, size_t from,
                    size_t count, double frequency);

}  // namespace plinka::testing
