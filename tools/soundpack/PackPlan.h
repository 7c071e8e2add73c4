#pragma once

#include <array>
#include <compare>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace plinka::soundpack {

// Where one sound of a pack comes from: a file of the pack (its path inside the pack), whole
// or a slice of it (a sprite's [start, length] in milliseconds), all of that or one half.
struct SoundSource {
    enum class Part { Whole, FirstHalf, SecondHalf };
    std::string file;
    std::optional<double> startMs = std::nullopt;
    std::optional<double> lengthMs = std::nullopt;
    Part part = Part::Whole;
    auto operator<=>(const SoundSource&) const = default;
};

// What one key does in one state: nothing (empty), one sound, or variants picked at random.
using KeySound = std::vector<SoundSource>;

// A pack read into theme terms, before any audio is touched.
struct PackPlan {
    // The pack's format in words ("Mechvibes 1, single sprite").
    std::string format;
    // The name the pack gives itself, when it gives one.
    std::optional<std::string> name;
    // By key state (0 key-up, 1 key-down), then theme key code. A key absent is silent.
    std::array<std::map<int, KeySound>, 2> keys;
    // By button state (0 up, 1 down), then button (0 left, 1 right, 2 middle).
    std::array<std::map<int, KeySound>, 2> mouse;
    // Each play's pitch varied at random by up to this many cents either way.
    std::optional<int> pitchCents;
    // One line for each key (or group of keys) that could not be taken as it stands.
    std::vector<std::string> warnings;
};

// Sets the sample slot (254, key-down) to a representative key's sound: a letter typed often,
// else the first key with a sound.
void chooseSample(PackPlan& plan);

// Gives each key (and button) that sounds when pressed but not when released the first half of
// each of its sounds on press and the second half on release. How many it split.
std::size_t splitReleases(PackPlan& plan);

// The items as one readable line: "a, b, c", at most 20 of them, then "and N more".
std::string shortList(const std::vector<std::string>& items);

}  // namespace plinka::soundpack
