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

std::string readLine(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

}  // namespace

bool bitmapHasKeyboardKeys(std::string_view bitmap) {
    std::vector<unsigned long> words;  // least significant first
    std::istringstream in{std::string(bitmap)};
    for (std::string word; in >> word;) {
        char* end = nullptr;
        const unsigned long value = std::strtoul(word.c_str(), &end, 16);
        if (end == word.c_str() || *end != '\0') {
            return false;
        }
        words.insert(words.begin(), value);
    }
    return std::any_of(keyMapEntries().begin(), keyMapEntries().end(), [&](const auto& key) {
        const auto code = static_cast<size_t>(key.evdevCode);
        return key.evdevCode < BTN_MISC && code / kBitsPerWord < words.size() &&
               (words[code / kBitsPerWord] >> (code % kBitsPerWord) & 1UL) != 0;
    });
}

std::vector<std::string> keyboardEventNodes(const std::string& directory,
                                            const std::string& sysfsClass) {
    namespace fs = std::filesystem;
    std::vector<std::string> keyboards;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(directory, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("event") &&
            bitmapHasKeyboardKeys(
                readLine(fs::path(sysfsClass) / name / "device/capabilities/key"))) {
            keyboards.push_back(entry.path().string());
        }
    }
    std::sort(keyboards.begin(), keyboards.end());
    return keyboards;
}

}  // namespace plinka
