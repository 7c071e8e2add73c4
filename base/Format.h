#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace plinka {

// One argument of a format: an integer for %d, %ld and %u, a text for %@ and %s (absent: "(null)").
class FormatArgument {
  public:
    FormatArgument(int value) : value_(static_cast<int64_t>(value)) {}
    FormatArgument(long value) : value_(static_cast<int64_t>(value)) {}
    FormatArgument(long long value) : value_(static_cast<int64_t>(value)) {}
    FormatArgument(unsigned value) : value_(static_cast<int64_t>(value)) {}
    FormatArgument(std::string_view value) : value_(value) {}
    FormatArgument(const char* value) : value_(std::string_view(value)) {}
    FormatArgument(const std::string& value) : value_(std::string_view(value)) {}
    FormatArgument(const std::optional<std::string>& value);

    const std::variant<int64_t, std::string_view, std::nullptr_t>& value() const { return value_; }

  private:
    std::variant<int64_t, std::string_view, std::nullptr_t> value_;
};

// Fills a format in the platform's string-format notation: %@, %s, %d, %ld, %u, %%, and the
// positional %1$@. Free texts are passed as arguments, never as the format.
std::string stringWithFormat(std::string_view format,
                             std::initializer_list<FormatArgument> arguments);

}  // namespace plinka
