#include "platform/linux/plist/XmlPlistValidator.h"

#include <cstdint>
#include <ctime>
#include <limits>

#include "platform/Clock.h"
#include "platform/linux/plist/PlistLimits.h"

namespace plinka {

namespace {

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == ':';
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads `digits` decimal digits at `at`.
bool readNumber(std::string_view text, std::size_t at, std::size_t digits, int& value) {
    value = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

// "YYYY-MM-DDTHH:MM:SSZ", a fraction of a second allowed before the "Z", naming a moment that
// exists and that libplist's 32-bit seconds since 2001 hold. libplist reads anything else as
// some other date (1970, 1901, a time zone ignored) without a word.
bool isPlistDate(std::string_view text) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!readNumber(text, 0, 4, year) || text.substr(4, 1) != "-" ||
        !readNumber(text, 5, 2, month) || text.substr(7, 1) != "-" ||
        !readNumber(text, 8, 2, day) || text.substr(10, 1) != "T" ||
        !readNumber(text, 11, 2, hour) || text.substr(13, 1) != ":" ||
        !readNumber(text, 14, 2, minute) || text.substr(16, 1) != ":" ||
        !readNumber(text, 17, 2, second)) {
        return false;
    }
    std::string_view rest = text.substr(19);
    if (rest.starts_with('.')) {
        std::size_t end = 1;
        while (end < rest.size() && rest[end] >= '0' && rest[end] <= '9') {
            ++end;
        }
        if (end == 1) {
            return false;
        }
        rest.remove_prefix(end);
    }
    if (rest != "Z") {
        return false;
    }
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    const std::tm given = parts;
    const std::time_t moment = ::timegm(&parts);
    // timegm moves an impossible field (the 30th of February, hour 24) into the next one.
    if (parts.tm_year != given.tm_year || parts.tm_mon != given.tm_mon ||
        parts.tm_mday != given.tm_mday || parts.tm_hour != given.tm_hour ||
        parts.tm_min != given.tm_min || parts.tm_sec != given.tm_sec) {
        return false;
    }
    const int64_t sinceReferenceDate = static_cast<int64_t>(moment) - kReferenceDateUnixTime;
    return sinceReferenceDate >= std::numeric_limits<int32_t>::min() &&
           sinceReferenceDate <= std::numeric_limits<int32_t>::max();
}

class XmlScanner {
  public:
    explicit XmlScanner(std::string_view text) : text_(text) {}

    bool run(std::string* error) {
        if (!scan()) {
            if (error) {
                *error = "unacceptable XML property list: " + reason_;
            }
            return false;
        }
        return true;
    }

  private:
    bool fail(std::string reason) {
        reason_ = std::move(reason);
        return false;
    }

    // Skips markup that holds no elements up to `end`; a '<' inside it could hide a tag.
    bool skipOpaque(std::size_t from, std::string_view end) {
        const std::size_t stop = text_.find(end, from);
        if (stop == std::string_view::npos) {
            return fail("unterminated markup");
        }
        if (text_.substr(from, stop - from).find('<') != std::string_view::npos) {
            return fail("markup inside a comment, declaration or CDATA section");
        }
        position_ = stop + end.size();
        return true;
    }

    std::size_t skipName(std::size_t at) const {
        while (at < text_.size() && isNameCharacter(text_[at])) {
            ++at;
        }
        return at;
    }

    std::size_t skipSpaces(std::size_t at) const {
        while (at < text_.size() && isSpace(text_[at])) {
            ++at;
        }
        return at;
    }

    bool closeTag() {
        std::size_t at = skipName(position_ + 2);
        at = skipSpaces(at);
        if (at == position_ + 2 || at >= text_.size() || text_[at] != '>') {
            return fail("malformed end tag");
        }
        if (depth_ == 0) {
            return fail("end tag without start tag");
        }
        --depth_;
        position_ = at + 1;
        return true;
    }

    bool openTag() {
        const std::size_t nameEnd = skipName(position_ + 1);
        if (nameEnd == position_ + 1) {
            return fail("malformed tag");
        }
        const std::string_view name = text_.substr(position_ + 1, nameEnd - position_ - 1);
        std::size_t at = skipSpaces(nameEnd);
        if (name == "plist") {
            // The one element that carries an attribute (version="1.0").
            while (at < text_.size() && text_[at] != '>' && text_[at] != '<') {
                ++at;
            }
            if (at > nameEnd && text_[at - 1] == '/') {
                --at;
            }
        }
        const bool leaf = at < text_.size() && text_[at] == '/';
        if (leaf) {
            ++at;
        }
        if (at >= text_.size() || text_[at] != '>') {
            return fail("malformed tag");
        }
        if (name == "date" &&
            (leaf || !isPlistDate(text_.substr(at + 1, text_.find('<', at) - at - 1)))) {
            return fail("a date not of the form YYYY-MM-DDTHH:MM:SSZ, or out of range");
        }
        if (++nodes_ > PlistLimits::kMaxNodes) {
            return fail("too many elements");
        }
        if (!leaf && ++depth_ > PlistLimits::kMaxDepth) {
            return fail("nested too deeply");
        }
        position_ = at + 1;
        return true;
    }

    // libplist asserts (and so aborts) on strings with a NUL inside: refuse raw NULs, and
    // character references to NUL or to no character at all (which could wrap around to NUL).
    bool hasNoNul() {
        if (text_.find('\0') != std::string_view::npos) {
            return fail("NUL byte");
        }
        for (std::size_t at = text_.find("&#"); at != std::string_view::npos;
             at = text_.find("&#", at + 2)) {
            std::size_t digit = at + 2;
            const bool hex = digit < text_.size() && (text_[digit] == 'x' || text_[digit] == 'X');
            digit += hex ? 1 : 0;
            uint64_t value = 0;
            std::size_t digits = 0;
            for (; digit < text_.size() && digits <= 8; ++digit, ++digits) {
                const char c = text_[digit];
                int number = -1;
                if (c >= '0' && c <= '9') {
                    number = c - '0';
                } else if (hex && c >= 'a' && c <= 'f') {
                    number = c - 'a' + 10;
                } else if (hex && c >= 'A' && c <= 'F') {
                    number = c - 'A' + 10;
                }
                if (number < 0) {
                    break;
                }
                value = value * (hex ? 16 : 10) + static_cast<uint64_t>(number);
            }
            if (value == 0 || value > 0x10FFFF || digits > 8) {
                return fail("character reference to NUL or to no character");
            }
        }
        return true;
    }

    bool scan() {
        if (text_.size() > PlistLimits::kMaxBytes) {
            return fail("too large");
        }
        if (!hasNoNul()) {
            return false;
        }
        while ((position_ = text_.find('<', position_)) != std::string_view::npos) {
            const std::string_view rest = text_.substr(position_);
            bool ok = false;
            if (rest.starts_with("<!--")) {
                ok = skipOpaque(position_ + 4, "-->");
            } else if (rest.starts_with("<![CDATA[")) {
                ok = skipOpaque(position_ + 9, "]]>");
            } else if (rest.starts_with("<?")) {
                ok = skipOpaque(position_ + 2, "?>");
            } else if (rest.starts_with("<!")) {
                ok = skipOpaque(position_ + 2, ">");
            } else if (rest.starts_with("</")) {
                ok = closeTag();
            } else {
                ok = openTag();
            }
            if (!ok) {
                return false;
            }
        }
        return true;
    }

    std::string_view text_;
    std::size_t position_ = 0;
    std::size_t depth_ = 0;
    uint64_t nodes_ = 0;
    std::string reason_;
};

}  // namespace

bool validateXmlPropertyList(std::string_view text, std::string* error) {
    return XmlScanner(text).run(error);
}

}  // namespace plinka
