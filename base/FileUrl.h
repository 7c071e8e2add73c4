#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plinka {

// File URLs and the path operations of the platform's string and URL classes.
namespace FileUrl {

// "file://" and the path, percent-encoded where a URL needs it.
std::string fileURLWithPath(std::string_view path);
// The decoded path of a "file:" URL (with an empty or "localhost" host); nullopt for others.
std::optional<std::string> pathOfFileURL(std::string_view url);
// The last component of a path or URL path, ignoring trailing slashes.
std::string lastPathComponent(std::string_view path);
// The path without its last component (ignoring trailing slashes): "/" for a top-level item,
// "" for a bare name.
std::string deletingLastPathComponent(std::string_view path);
// The path with `component` added after one slash ("component" alone for an empty path).
std::string appendingPathComponent(std::string_view path, std::string_view component);
// The path without its last component's extension (the text after its last ".").
std::string stringByDeletingPathExtension(std::string_view path);
// The extension of the last component, without the ".".
std::string pathExtension(std::string_view path);
// Resolves `relative` against the absolute URL `base`.
std::string resolveUrl(std::string_view base, std::string_view relative);

}  // namespace FileUrl

}  // namespace plinka
