#pragma once

#include <cstddef>

#include "platform/linux/audio/SoundFileDecoder.h"
#include "platform/linux/plist/PlistLimits.h"

namespace plinka::soundpack::PackLimits {

// What one import may cost, whatever the pack holds. Real packs stay far inside every bound.

// A config.json is a few kilobytes; anything larger is not one.
inline constexpr std::size_t kMaxConfigBytes = 1024 * 1024;
// The most files and folders a pack may hold, and how deep a folder pack is searched.
inline constexpr std::size_t kMaxEntries = 10000;
inline constexpr int kMaxFolderDepth = 8;
// The largest audio file read from a pack, and all bytes read from one pack together (past
// which nothing more is read).
inline constexpr std::size_t kMaxAudioFileBytes = 64 * 1024 * 1024;
inline constexpr std::size_t kMaxReadBytes = 512 * 1024 * 1024;
// The longest sound kept: the application plays nothing longer.
inline constexpr double kMaxSoundSeconds = audio::kMaxSoundSeconds;
// The most variants one range ("{0-4}") may stand for, and distinct sounds in one theme.
inline constexpr int kMaxVariants = 64;
inline constexpr std::size_t kMaxSounds = 2048;
// The audio of all sounds together, so that the theme file stays readable.
inline constexpr std::size_t kMaxThemeAudioBytes = PlistLimits::kMaxPayloadBytes * 3 / 4;

}  // namespace plinka::soundpack::PackLimits
