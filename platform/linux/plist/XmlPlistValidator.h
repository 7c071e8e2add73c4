#pragma once

#include <string>
#include <string_view>

namespace plinka {

// Checks the tag structure of an XML property list before libplist parses it: within the size,
// depth and node bounds of PlistLimits, and written plainly enough (no markup hidden in comments
// or CDATA, no attributes but on <plist>) that our count and libplist's agree. False with the
// reason in `error` when it isn't.
bool validateXmlPropertyList(std::string_view text, std::string* error);

}  // namespace plinka
