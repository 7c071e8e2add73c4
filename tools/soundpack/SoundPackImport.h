#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plinka {
struct Platform;
}

namespace plinka::soundpack {

// What importing a pack makes, and every problem met on the way.
struct PackReport {
    std::string format;
    // The theme's name.
    std::string name;
    // Keys with a press sound and with a release sound; keys that pick among variants.
    std::size_t pressKeys = 0;
    std::size_t releaseKeys = 0;
    std::size_t variantKeys = 0;
    // Mouse button events (presses and releases) with a sound.
    std::size_t buttonSounds = 0;
    // How much each play's pitch varies either way, in cents (0: not at all).
    int pitchCents = 0;
    // Distinct sounds, each stored once: their length together and their size as WAV files.
    std::size_t sounds = 0;
    double seconds = 0;
    std::size_t audioBytes = 0;
    // One line for each bad key or sound (the rest imports), and what the pack left out.
    std::vector<std::string> warnings;
};

// How a pack is made into a theme.
struct ImportOptions {
    // Keys that sound only when pressed play the first half of their sound on press and the
    // second half on release.
    bool splitRelease = false;
};

struct ImportedTheme {
    std::vector<uint8_t> bytes;
    PackReport report;
};

// Reads the pack (a folder or a zip of one: Mechvibes 1 or 2, MechvibesDX, or bucklespring) and
// every sound it names, as an import does, and reports; writes nothing. nullopt with one line of
// reason when no theme could be made from it.
std::optional<PackReport> checkSoundPack(const std::string& pack, const ImportOptions& options,
                                         std::string& error);

// The theme file made from the pack, named `themeName` (by default the pack's own name), with
// every sound embedded as a WAV file. nullopt with one line of reason when no theme can be made.
std::optional<ImportedTheme> importSoundPack(const std::string& pack,
                                             const std::optional<std::string>& themeName,
                                             const ImportOptions& options, Platform& platform,
                                             std::string& error);

// Imports the pack into the user's theme folder, replacing the user's theme of the same name;
// a name that "Off" or a theme of the bundle bears is refused. The report; nullopt with one line
// of reason.
std::optional<PackReport> installSoundPack(const std::string& pack,
                                           const std::optional<std::string>& themeName,
                                           const ImportOptions& options, Platform& platform,
                                           std::string& error);

// Why the text can't name a theme file (empty, a "/", a leading ".", control characters, too
// long, not UTF-8); nullopt when it can.
std::optional<std::string> themeNameProblem(const std::string& name);

}  // namespace plinka::soundpack
