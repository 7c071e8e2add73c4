#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plinka {

// The decoded object graph of any keyed archive as compact JSON, for inspecting theme files:
//   nil -> null; strings, numbers, Booleans -> themselves; NSArray/NSMutableArray -> [...];
//   NSDictionary/NSMutableDictionary -> {"$dict": {key: value}} (a key that is no string is
//   written as its JSON text); NSData/NSMutableData or plain data -> {"$data": BASE64};
//   NSURL -> {"$url": ABSOLUTE-STRING}; NSString records -> their string; NSDate or a plain date
//   -> {"$date": seconds since 2001}; any other record -> {"$class": NAME, key: value, ...} with
//   its keys as archived; an object met again inside itself -> {"$ref": UID}. Object members
//   come in the order of their keys; text that is not UTF-8 has U+FFFD in its place.
// Shared objects are written out at each place they appear. nullopt with the reason in `error`
// for anything that is not a well-formed keyed archive, and when the JSON would exceed
// kMaxArchiveJsonBytes.
inline constexpr std::size_t kMaxArchiveJsonBytes = 32 * 1024 * 1024;

std::optional<std::string> archiveToJson(const std::vector<uint8_t>& archive, std::string* error);

}  // namespace plinka
