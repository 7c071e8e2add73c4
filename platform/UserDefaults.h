#pragma once

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "base/Object.h"

namespace plinka {

// The user's preferences: values the user's actions stored, over a registration domain of
// defaults that the program registers at each start. Keys are strings, values property-list
// Objects. Used from the main thread only.
class UserDefaults {
  public:
    using Observer = std::function<void()>;
    using ObserverToken = uint64_t;

    virtual ~UserDefaults() = default;

    // Adds the dictionary's string-keyed entries to the registration domain, replacing earlier
    // registrations of the same keys. Registered values are never stored; a stored value wins.
    virtual void registerDefaults(const Object& dictionary) = 0;

    // The stored value, else the registered one, else Nil.
    virtual Object objectForKey(std::string_view key) const = 0;

    // Stores the property-list value under the key; Nil removes the stored value so the
    // registered one applies again. A value that is no property list is refused with a log line.
    virtual void setObject(const Object& value, std::string_view key) = 0;

    // Writes what is stored to disk and takes in changes made from outside; false when the
    // stored values could not be written.
    virtual bool synchronize() = 0;

    // Calls the observer, on the main thread, each time the key's value (as objectForKey answers
    // it) changes: by this program's own calls, a registration, or a change made from outside.
    virtual ObserverToken addObserver(std::string key, Observer observer) = 0;
    // Stops calls to the observer; an unknown token is ignored.
    virtual void removeObserver(ObserverToken token) = 0;

    // A string as is, a number as its decimal text (a Boolean as "1" or "0"); nullopt otherwise.
    std::optional<std::string> stringForKey(std::string_view key) const {
        return stringFromObject(objectForKey(key));
    }
    // A Boolean; a number that is not 0; a string "YES" or "true" in any case, or one that starts
    // with a non-zero integer. NO for anything else, absent values included.
    bool boolForKey(std::string_view key) const { return boolFromObject(objectForKey(key)); }
    // A number (a real cut toward zero), a Boolean as 1 or 0, a string's leading integer; else 0.
    int64_t integerForKey(std::string_view key) const {
        return integerFromObject(objectForKey(key));
    }
    // Stores a Boolean.
    void setBool(bool value, std::string_view key) { setObject(Object::boolean(value), key); }
    // Removes the stored value; the registered one applies again.
    void removeObjectForKey(std::string_view key) { setObject(Object(), key); }

    // The coercions of the typed reads, for any Object.
    static std::optional<std::string> stringFromObject(const Object& value);
    static bool boolFromObject(const Object& value);
    static int64_t integerFromObject(const Object& value);

  private:
    static std::optional<int64_t> leadingInteger(std::string_view text);
};

inline std::optional<std::string> UserDefaults::stringFromObject(const Object& value) {
    if (const std::string* text = value.stringValue()) {
        return *text;
    }
    if (auto flag = value.booleanValue()) {
        return *flag ? "1" : "0";
    }
    if (auto integer = value.integerValue()) {
        return std::to_string(*integer);
    }
    if (auto real = value.realValue()) {
        char buffer[32];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, *real);
        return std::string(buffer, result.ptr);
    }
    return std::nullopt;
}

inline bool UserDefaults::boolFromObject(const Object& value) {
    if (auto flag = value.booleanValue()) {
        return *flag;
    }
    if (auto integer = value.integerValue()) {
        return *integer != 0;
    }
    if (auto real = value.realValue()) {
        return *real != 0.0;
    }
    if (const std::string* text = value.stringValue()) {
        auto equalsIgnoringCase = [&](std::string_view word) {
            if (text->size() != word.size()) {
                return false;
            }
            for (std::size_t i = 0; i < word.size(); ++i) {
                if (std::tolower(static_cast<unsigned char>((*text)[i])) != word[i]) {
                    return false;
                }
            }
            return true;
        };
        if (equalsIgnoringCase("yes") || equalsIgnoringCase("true")) {
            return true;
        }
        return leadingInteger(*text).value_or(0) != 0;
    }
    return false;
}

inline int64_t UserDefaults::integerFromObject(const Object& value) {
    if (auto integer = value.integerValue()) {
        return *integer;
    }
    if (auto flag = value.booleanValue()) {
        return *flag ? 1 : 0;
    }
    if (auto real = value.realValue()) {
        // Out-of-range and NaN reals would be undefined to convert; they clamp (NaN to 0).
        constexpr double kLimit = 9223372036854775807.0;
        if (std::isnan(*real)) {
            return 0;
        }
        if (*real >= kLimit) {
            return std::numeric_limits<int64_t>::max();
        }
        if (*real <= -kLimit) {
            return std::numeric_limits<int64_t>::min();
        }
        return static_cast<int64_t>(*real);
    }
    if (const std::string* text = value.stringValue()) {
        return leadingInteger(*text).value_or(0);
    }
    return 0;
}

// Leading white space, an optional sign and decimal digits; saturates on overflow.
inline std::optional<int64_t> UserDefaults::leadingInteger(std::string_view text) {
    std::size_t position = 0;
    while (position < text.size() && std::isspace(static_cast<unsigned char>(text[position]))) {
        ++position;
    }
    if (position < text.size() && text[position] == '+') {
        ++position;
        if (position < text.size() && text[position] == '-') {
            return std::nullopt;
        }
    }
    int64_t result = 0;
    const char* first = text.data() + position;
    const char* last = text.data() + text.size();
    auto [end, error] = std::from_chars(first, last, result);
    if (error == std::errc::result_out_of_range) {
        return *first == '-' ? std::numeric_limits<int64_t>::min()
                             : std::numeric_limits<int64_t>::max();
    }
    if (end == first) {
        return std::nullopt;
    }
    return result;
}

}  // namespace plinka
