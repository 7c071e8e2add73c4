#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plinka {

// Replaces the file at `path` with `bytes` so that any reader, and the disk after a crash at any
// moment, holds either the old content or the new one in full. The new file is readable by its
// owner only. On failure the old file is untouched and `error` says why.
bool writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string* error);

// Makes the directory and any missing parents, each readable by its owner only; true when it
// exists afterwards.
bool makeDirectories(const std::string& path);

}  // namespace plinka
