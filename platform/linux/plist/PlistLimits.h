#pragma once

#include <cstddef>
#include <cstdint>

namespace plinka::PlistLimits {

// Bounds every property list we read must keep. libplist 2.2 keeps none of its own: it recurses
// without a depth limit and copies shared references, so a hostile file could crash it or make
// it allocate without end. The numbers leave themes and preference files plenty of room.

// The largest file or buffer we read.
inline constexpr std::size_t kMaxBytes = 64 * 1024 * 1024;
// The deepest nesting of arrays and dictionaries.
inline constexpr std::size_t kMaxDepth = 128;
// The most nodes the parsed tree may hold, shared references counted each time they are met.
inline constexpr uint64_t kMaxNodes = 256 * 1024;
// The most string and data bytes the parsed tree may hold, counted the same way.
inline constexpr uint64_t kMaxPayloadBytes = 64 * 1024 * 1024;

}  // namespace plinka::PlistLimits
