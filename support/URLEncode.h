#pragma once

#include <string>
#include <string_view>

namespace plinka {

// Percent-encoding of text for use inside a URL.
namespace URLEncode {

// Every byte of the UTF-8 text as %XX, except ASCII letters, digits and "-", "_", ".", "~".
std::string urlEncode(std::string_view text);

}  // namespace URLEncode

}  // namespace plinka
