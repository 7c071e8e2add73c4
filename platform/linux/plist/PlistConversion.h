#pragma once

#include <plist/plist.h>

#include <memory>
#include <optional>
#include <string>

#include "base/Object.h"

namespace plinka {

struct PlistNodeFree {
    void operator()(plist_t node) const { plist_free(node); }
};
// A libplist tree that frees itself.
using PlistNode = std::unique_ptr<void, PlistNodeFree>;

// The Object form of a libplist tree (already bounded by the validators).
std::optional<Object> objectFromPlistNode(plist_t node, std::string* error);

// The libplist tree of a property-list Object (Dictionary with string keys, Array, String,
// Integer, Real, Boolean, Data, Date, Uid); null when it holds any other type.
PlistNode plistNodeFromObject(const Object& object);

}  // namespace plinka
