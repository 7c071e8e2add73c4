#pragma once

#include <compare>
#include <string_view>

namespace plinka {

// Orders two version strings as dotted numbers, part by part: "1.2" < "1.10", and a missing
// part counts as 0, so "1.0" equals "1.0.0". Within a part the leading number decides first;
// then a part with nothing after its number ranks above one with text ("1.0" > "1.0b2"), and two
// texts compare by their characters. Numbers of any length compare exactly.
std::strong_ordering compareVersions(std::string_view a, std::string_view b);

}  // namespace plinka
