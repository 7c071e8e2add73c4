#include "platform/linux/StringsFile.h"

#include <fstream>
#include <iterator>

#include "platform/linux/plist/PropertyList.h"

namespace plinka {

namespace {

class StringsParser {
  public:
    explicit StringsParser(std::string_view text) : text_(text) {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") {
            text_.remove_prefix(3);
        }
    }

    std::optional<Object> parse(std::string* error) {
        Object::Dictionary entries;
        while (skipBlanks(), at_ < text_.size()) {
            auto key = token();
            skipBlanks();
            std::optional<std::string> value = key;  // a lone key stands for itself
            if (key && peek() == '=') {
                ++at_;
                skipBlanks();
                value = token();
                skipBlanks();
            }
            if (!key || !value || peek() != ';') {
                return fail(error);
            }
            ++at_;
            // A later entry for the same key replaces the earlier one.
            std::erase_if(entries,
                          [&](const auto& entry) { return *entry.first.stringValue() == *key; });
            entries.emplace_back(Object::string(std::move(*key)),
                                 Object::string(std::move(*value)));
        }
        return failed_ ? fail(error)
                       : std::optional<Object>(Object::dictionary(std::move(entries)));
    }

  private:
    char peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

    std::optional<Object> fail(std::string* error) {
        if (error) {
            size_t line = 1;
            for (size_t i = 0; i < at_ && i < text_.size(); ++i) {
                line += text_[i] == '\n';
            }
            *error = "not a strings table (line " + std::to_string(line) + ")";
        }
        return std::nullopt;
    }

    void skipBlanks() {
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                ++at_;
            } else if (text_.substr(at_, 2) == "//") {
                const size_t end = text_.find('\n', at_);
                at_ = end == std::string_view::npos ? text_.size() : end;
            } else if (text_.substr(at_, 2) == "/*") {
                const size_t end = text_.find("*/", at_ + 2);
                if (end == std::string_view::npos) {
                    failed_ = true;
                    at_ = text_.size();
                } else {
                    at_ = end + 2;
                }
            } else {
                return;
            }
        }
    }

    // A quoted string, or a bare word of letters, digits and _.$:/-.
    std::optional<std::string> token() {
        if (peek() == '"') {
            return quoted();
        }
        std::string word;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            const bool wordCharacter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                       (c >= '0' && c <= '9') || c == '_' || c == '.' || c == '$' ||
                                       c == ':' || c == '/' || c == '-';
            if (!wordCharacter) {
                break;
            }
            word += c;
            ++at_;
        }
        return word.empty() ? std::nullopt : std::optional<std::string>(word);
    }

    std::optional<std::string> quoted() {
        std::string value;
        for (++at_; at_ < text_.size(); ++at_) {
            const char c = text_[at_];
            if (c == '"') {
                ++at_;
                return value;
            }
            if (c != '\\') {
                value += c;
                continue;
            }
            if (++at_ >= text_.size()) {
                return std::nullopt;
            }
            switch (const char escaped = text_[at_]) {
                case 'n':
                    value += '\n';
                    break;
                case 't':
                    value += '\t';
                    break;
                case 'r':
                    value += '\r';
                    break;
                case 'U':
                case 'u':
                    if (!unicode(value)) {
                        return std::nullopt;
                    }
                    break;
                default:
                    value += escaped;
                    break;  // \" \\ \' and any other character as is
            }
        }
        return std::nullopt;
    }

    // \UXXXX: four hex digits, appended as UTF-8 (a lone surrogate is refused).
    bool unicode(std::string& value) {
        if (at_ + 4 >= text_.size()) {
            return false;
        }
        uint32_t code = 0;
        for (size_t i = 1; i <= 4; ++i) {
            const char h = text_[at_ + i];
            const int digit = h >= '0' && h <= '9'   ? h - '0'
                              : h >= 'a' && h <= 'f' ? h - 'a' + 10
                              : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                                     : -1;
            if (digit < 0) {
                return false;
            }
            code = code * 16 + static_cast<uint32_t>(digit);
        }
        if (code >= 0xD800 && code <= 0xDFFF) {
            return false;
        }
        at_ += 4;
        if (code < 0x80) {
            value += static_cast<char>(code);
        } else if (code < 0x800) {
            value += static_cast<char>(0xC0 | (code >> 6));
            value += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            value += static_cast<char>(0xE0 | (code >> 12));
            value += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            value += static_cast<char>(0x80 | (code & 0x3F));
        }
        return true;
    }

    std::string_view text_;
    size_t at_ = 0;
    bool failed_ = false;
};

}  // namespace

std::optional<Object> parseStringsFile(std::string_view text, std::string* error) {
    return StringsParser(text).parse(error);
}

std::optional<Object> readStringsFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (text.starts_with("bplist") || text.find("<plist") != std::string::npos) {
        auto list = readPropertyListFile(path, nullptr);
        if (list && list->dictionaryValue()) {
            return list;
        }
        return std::nullopt;
    }
    return parseStringsFile(text, nullptr);
}

}  // namespace plinka
