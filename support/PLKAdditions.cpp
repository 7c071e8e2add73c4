#include "support/PLKAdditions.h"

#include <array>

#include "platform/Bundle.h"
#include "platform/CommandRunner.h"
#include "platform/ProcessInformation.h"
#include "support/SystemVersion.h"

namespace plinka {

namespace {

// Whether the bytes are well-formed UTF-8 (no overlongs, surrogates or values past U+10FFFF).
bool isValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = 1;
        uint32_t lowest = 0;
        uint32_t codePoint = lead;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, lowest = 0x80, codePoint = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, lowest = 0x800, codePoint = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, lowest = 0x10000, codePoint = lead & 0x07;
        } else if (lead >= 0x80) {
            return false;
        }
        if (i + length > text.size()) {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        if (codePoint < lowest || codePoint > 0x10FFFF ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

// White space and line breaks as the platform's character set names them, in UTF-8.
constexpr std::array<std::string_view, 25> kWhitespaceAndNewlines{" ",
                                                                  "\t",
                                                                  "\n",
                                                                  "\v",
                                                                  "\f",
                                                                  "\r",
                                                                  "\xC2\x85",
                                                                  "\xC2\xA0",
                                                                  "\xE1\x9A\x80",
                                                                  "\xE2\x80\x80",
                                                                  "\xE2\x80\x81",
                                                                  "\xE2\x80\x82",
                                                                  "\xE2\x80\x83",
                                                                  "\xE2\x80\x84",
                                                                  "\xE2\x80\x85",
                                                                  "\xE2\x80\x86",
                                                                  "\xE2\x80\x87",
                                                                  "\xE2\x80\x88",
                                                                  "\xE2\x80\x89",
                                                                  "\xE2\x80\x8A",
                                                                  "\xE2\x80\xA8",
                                                                  "\xE2\x80\xA9",
                                                                  "\xE2\x80\xAF",
                                                                  "\xE2\x81\x9F",
                                                                  "\xE3\x80\x80"};

size_t whitespaceLengthAtStart(std::string_view text) {
    for (const auto space : kWhitespaceAndNewlines) {
        if (text.starts_with(space)) {
            return space.size();
        }
    }
    return 0;
}

size_t whitespaceLengthAtEnd(std::string_view text) {
    for (const auto space : kWhitespaceAndNewlines) {
        if (text.ends_with(space)) {
            return space.size();
        }
    }
    return 0;
}

std::string trimmingWhitespaceAndNewlines(std::string_view text) {
    while (const size_t length = whitespaceLengthAtStart(text)) {
        text.remove_prefix(length);
    }
    while (const size_t length = whitespaceLengthAtEnd(text)) {
        text.remove_suffix(length);
    }
    return std::string(text);
}

}  // namespace

void PLKAdditions::getSystemVersionMajor(uint32_t* major, uint32_t* minor, uint32_t* bugFix) const {
    getSystemVersion({services_.processInformation, services_.systemAttributes, services_.log},
                     major, minor, bugFix);
}

bool PLKAdditions::systemIsRelease(uint32_t release) const {
    uint32_t major = 0, minor = 0, bugFix = 0;
    getSystemVersionMajor(&major, &minor, &bugFix);
    return isRelease(major, minor, release);
}

bool PLKAdditions::systemIsReleaseOrHigher(uint32_t release) const {
    uint32_t major = 0, minor = 0, bugFix = 0;
    getSystemVersionMajor(&major, &minor, &bugFix);
    return isReleaseOrHigher(major, minor, release);
}

Object PLKAdditions::infoValueForKey(std::string_view key) const {
    if (const Object& localized =
            services_.mainBundle.localizedInfoDictionary().objectForKey(key)) {
        return localized;
    }
    return services_.mainBundle.infoDictionary().objectForKey(key);
}

std::optional<std::string> PLKAdditions::infoStringForKey(std::string_view key) const {
    if (const std::string* value = infoValueForKey(key).stringValue()) {
        return *value;
    }
    return std::nullopt;
}

std::optional<std::string> PLKAdditions::applicationCopyrightInformation() const {
    return infoStringForKey("NSHumanReadableCopyright");
}

std::string PLKAdditions::applicationName() const {
    return infoStringForKey("CFBundleName").value_or("No Name");
}

std::optional<std::string> PLKAdditions::applicationShortVersionString() const {
    return infoStringForKey("CFBundleShortVersionString");
}

std::optional<std::string> PLKAdditions::applicationVersion() const {
    return infoStringForKey("CFBundleVersion");
}

std::optional<std::string> PLKAdditions::applicationIdentifier() const {
    return infoStringForKey("CFBundleIdentifier");
}

std::optional<std::string> PLKAdditions::uuid() {
    std::lock_guard lock(uuidLock_);
    if (uuid_) {
        return uuid_;
    }
    const CommandResult result =
        services_.commands.runShellCommand(services_.processInformation.machineIdentifierCommand());
    // Output that is not text decodes to nothing, which leaves the identifier unknown.
    if (result.terminationStatus == 0 && isValidUtf8(result.output)) {
        uuid_ = trimmingWhitespaceAndNewlines(result.output);
    }
    return uuid_;
}

}  // namespace plinka
