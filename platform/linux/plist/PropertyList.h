#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Object.h"

namespace plinka {

// Property lists in binary ("bplist00") or XML form, as Objects of the types Dictionary, Array,
// String, Integer, Real, Boolean, Data, Date and Uid. Reading is safe on hostile input: a file
// that is malformed or exceeds the bounds in PlistLimits.h yields nullopt and the reason.

std::optional<Object> readPropertyListData(const std::vector<uint8_t>& data, std::string* error);
std::optional<Object> readPropertyListFile(const std::string& path, std::string* error);

// The binary or XML form of a property list; nullopt when the object holds another type
// (Nil, Null, Url, Instance, Record), a dictionary key that is not a string, a string with a NUL
// inside, or a date beyond what the format holds.
std::optional<std::vector<uint8_t>> writeBinaryPropertyList(const Object& object);
std::optional<std::vector<uint8_t>> writeXmlPropertyList(const Object& object);

}  // namespace plinka
