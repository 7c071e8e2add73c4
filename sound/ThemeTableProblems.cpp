#include "sound/ThemeTableProblems.h"

#include <algorithm>
#include <set>
#include <span>
#include <string_view>
#include <vector>

#include "sound/Sound.h"
#include "sound/SoundTheme.h"

namespace plinka {

namespace {

// A slot's value, or a variant picked from it, that playback cannot sound.
bool unplayable(const Object& value) {
    return !value.isNil() && value.as<Sound>() == nullptr;
}

// Notes the kinds of what a slot holds that cannot sound; how many such values there were.
size_t countUnplayable(const Object& slot, std::set<std::string>& kinds) {
    if (slot.type() == Object::Type::Null || slot.stringValue() != nullptr) {
        return 0;  // silent, or spoken
    }
    const Object::Array* variants = slot.arrayValue();
    const std::span<const Object> values = variants ? std::span(*variants) : std::span(&slot, 1);
    size_t count = 0;
    for (const Object& value : values) {
        if (unplayable(value)) {
            kinds.insert(std::string(value.className()));
            ++count;
        }
    }
    return count;
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
    std::string text;
    for (const auto& part : parts) {
        text += (text.empty() ? "" : std::string(separator)) + part;
    }
    return text;
}

}  // namespace

std::optional<std::string> themeTableProblems(const Object& sounds) {
    const Object::Array* rows = sounds.arrayValue();
    std::vector<std::string> problems;
    std::set<std::string> kinds;
    size_t unplayableCount = 0;
    for (size_t state = 0; state < 2; ++state) {
        const std::string row = state == 0 ? "key-up" : "key-down";
        const Object::Array* slots =
            rows != nullptr && state < rows->size() ? (*rows)[state].arrayValue() : nullptr;
        if (slots == nullptr) {
            problems.push_back("no " + row + " row");
            continue;
        }
        const size_t used = std::min(slots->size(), size_t{SoundTheme::kSlotCount});
        if (used < SoundTheme::kSlotCount) {
            problems.push_back(row + " row has " + std::to_string(used) + " of " +
                               std::to_string(SoundTheme::kSlotCount) + " slots");
        }
        for (size_t slot = 0; slot < used; ++slot) {
            unplayableCount += countUnplayable((*slots)[slot], kinds);
        }
    }
    if (unplayableCount > 0) {
        problems.push_back(std::to_string(unplayableCount) + " values that are no sound (" +
                           joined({kinds.begin(), kinds.end()}, ", ") + ")");
    }
    if (problems.empty()) {
        return std::nullopt;
    }
    return joined(problems, ", ");
}

}  // namespace plinka
