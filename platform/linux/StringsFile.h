#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/Object.h"

namespace plinka {

// A strings table ("key" = "value"; with /* */ and // comments, the usual backslash escapes and
// \UXXXX) as a dictionary of strings; nullopt with the reason when the text is not one.
std::optional<Object> parseStringsFile(std::string_view text, std::string* error);

// A strings file on disk: a property list dictionary (XML or binary, which strings files may
// also be) or the strings table format, in UTF-8. nullopt when it is missing or neither.
std::optional<Object> readStringsFile(const std::string& path);

}  // namespace plinka
