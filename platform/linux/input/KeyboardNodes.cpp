#include "platform/linux/input/KeyboardNodes.h"

#include <linux/input-event-codes.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/linux/input/KeyMap.h"

namespace plinka {

namespace {

constexpr size_t kBitsPerWord = sizeof(unsigned long) * CHAR_BIT;

// The bitmap's words, least significant first; nullopt when it is not one.
std::optional<std::vector<unsigned long>> bitmapWords(std::string_view bitmap) {
    std::vector<unsigned long> words;
    std::istringstream in{std::string(bitmap)};
    for (std::string word; in >> word;) {
        char* end = nullptr;
        const unsigned long value = std::strtoul(word.c_str(), &end, 16);
        if (end == word.c_str() || *end != '\0') {
            return std::nullopt;
        }
        words.insert(words.begin(), value);
    }
    return words;
}

bool hasCode(const std::vector<unsigned long>& words, int code) {
    const auto bit = static_cast<size_t>(code);
    return bit / kBitsPerWord < words.size() &&
           (words[bit / kBitsPerWord] >> (bit % kBitsPerWord) & 1UL) != 0;
}

}  // namespace

bool bitmapHasKeyboardKeys(std::string_view bitmap) {
    const auto words = bitmapWords(bitmap);
    return words &&
           std::any_of(keyMapEntries().begin(), keyMapEntries().end(), [&](const auto& key) {
               return key.evdevCode < BTN_MISC && hasCode(*words, key.evdevCode);
           });
}

bool bitmapHasPointerButtons(std::string_view bitmap) {
    const auto words = bitmapWords(bitmap);
    return words &&
           (hasCode(*words, BTN_LEFT) || hasCode(*words, BTN_RIGHT) || hasCode(*words, BTN_MIDDLE));
}

std::optional<std::string> describedKeys(const std::string& sysfsClass, const std::string& node) {
    std::ifstream in(std::filesystem::path(sysfsClass) / node / "device/capabilities/key");
    std::string line;
    if (!std::getline(in, line)) {
        return std::nullopt;
    }
    return line;
}

std::vector<std::string> keyboardAndPointerNodes(const std::string& directory,
                                                 const std::string& sysfsClass) {
    std::vector<std::string> nodes;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with("event")) {
            continue;
        }
        const std::string keys = describedKeys(sysfsClass, name).value_or("");
        if (bitmapHasKeyboardKeys(keys) || bitmapHasPointerButtons(keys)) {
            nodes.push_back(entry.path().string());
        }
    }
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

}  // namespace plinka
