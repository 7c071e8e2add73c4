#pragma once

#include <QByteArray>

#include "platform/AppcastLoader.h"

namespace plinka {

// The namespace of the sparkle: elements and attributes of appcasts.
inline constexpr const char* kSparkleNamespace =
    "http://www.andymatuschak.org/xml-namespaces/sparkle";

// The items of an RSS appcast in the feed's order, each with its sparkle:version (the item's
// element, else its enclosure's attribute); a failure when the body is no well-formed RSS.
AppcastLoader::Result parseAppcast(const QByteArray& body);

}  // namespace plinka
