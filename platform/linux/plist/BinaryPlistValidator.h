#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace plinka {

// Checks a binary property list ("bplist00") through and through before libplist sees it: the
// trailer and offset table, every object reachable from the root (markers, lengths, references),
// and that the tree libplist would build stays within PlistLimits. False with the reason in
// `error` when it doesn't.
bool validateBinaryPropertyList(std::span<const uint8_t> bytes, std::string* error);

}  // namespace plinka
