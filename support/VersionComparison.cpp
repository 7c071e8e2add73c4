#include "support/VersionComparison.h"

#include <cctype>

namespace plinka {

namespace {

// One dotted part: its leading number (without leading zeros) and the text after it.
struct VersionPart {
    std::string_view number;
    std::string_view text;
};

// Takes the next part off the front of `rest`; an exhausted version yields the part "0".
VersionPart nextPart(std::string_view& rest) {
    const size_t dot = rest.find('.');
    std::string_view part = rest.substr(0, dot);
    rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
    size_t digits = 0;
    while (digits < part.size() && std::isdigit(static_cast<unsigned char>(part[digits]))) {
        ++digits;
    }
    std::string_view number = part.substr(0, digits);
    while (!number.empty() && number.front() == '0') {
        number.remove_prefix(1);
    }
    return {number, part.substr(digits)};
}

std::strong_ordering compareParts(const VersionPart& a, const VersionPart& b) {
    // Without leading zeros, a longer number is a larger one.
    if (auto order = a.number.size() <=> b.number.size(); order != 0) {
        return order;
    }
    if (auto order = a.number.compare(b.number) <=> 0; order != 0) {
        return order;
    }
    if (a.text.empty() != b.text.empty()) {
        return a.text.empty() ? std::strong_ordering::greater : std::strong_ordering::less;
    }
    return a.text.compare(b.text) <=> 0;
}

}  // namespace

std::strong_ordering compareVersions(std::string_view a, std::string_view b) {
    while (!a.empty() || !b.empty()) {
        if (auto order = compareParts(nextPart(a), nextPart(b)); order != 0) {
            return order;
        }
    }
    return std::strong_ordering::equal;
}

}  // namespace plinka
