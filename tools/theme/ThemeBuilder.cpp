#include "tools/theme/ThemeBuilder.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "base/FileUrl.h"
#include "platform/KeyedArchive.h"
#include "platform/Platform.h"
#include "sound/Sound.h"
#include "sound/SoundTheme.h"
#include "tools/theme/RegularFile.h"

namespace plinka::themetool {

namespace {

// Makes each file's Sound once and each variant list's array once.
class SlotValues {
  public:
    SlotValues(const std::string& directory, Platform& platform)
        : directory_(directory), platform_(platform) {}

    std::optional<Object> valueFor(const SlotValue& value, std::string& error) {
        switch (value.kind) {
            case SlotValue::Kind::Silent:
                return Object::null();
            case SlotValue::Kind::Say:
                return Object::string(value.text);
            case SlotValue::Kind::Files:
                break;
        }
        if (value.files.size() == 1) {
            return sound(value.files[0], error);
        }
        if (auto shared = variants_.find(value.files); shared != variants_.end()) {
            return shared->second;
        }
        Object::Array elements;
        for (const auto& file : value.files) {
            auto element = sound(file, error);
            if (!element) {
                return std::nullopt;
            }
            elements.push_back(*element);
        }
        return variants_[value.files] = Object::array(std::move(elements));
    }

  private:
    std::optional<Object> sound(const std::string& file, std::string& error) {
        if (auto made = sounds_.find(file); made != sounds_.end()) {
            return made->second;
        }
        const std::string path = directory_ + "/" + file;
        if (const auto problem = whyNotARegularFile(path)) {
            error = path + ": " + *problem;
            return std::nullopt;
        }
        auto made = Sound::initWithContentsOfURL(FileUrl::fileURLWithPath(path), platform_);
        if (!made) {
            error = path + ": not an audio file that can be played";
            return std::nullopt;
        }
        made->setTransient(true);
        return sounds_[file] = Object::instance(made);
    }

    std::string directory_;
    Platform& platform_;
    std::map<std::string, Object> sounds_;
    std::map<std::vector<std::string>, Object> variants_;
};

}  // namespace

std::optional<std::vector<uint8_t>> buildTheme(const Mapping& mapping, const std::string& directory,
                                               const std::string& defaultName, Platform& platform,
                                               std::string& error) {
    std::vector<Object::Array> rows(2, Object::Array(SoundTheme::kSlotCount, Object::null()));
    std::vector<Object::Array> mouseRows(
        2, Object::Array(SoundTheme::kMouseButtonCount, Object::null()));
    bool hasMouseSounds = false;
    SlotValues values(directory, platform);
    for (const auto& assignment : mapping.assignments) {
        auto value = values.valueFor(assignment.value, error);
        if (!value) {
            return std::nullopt;
        }
        const bool mouse = assignment.target == Assignment::Target::Mouse;
        hasMouseSounds = hasMouseSounds || mouse;
        auto& row = (mouse ? mouseRows : rows)[static_cast<size_t>(assignment.state)];
        for (int code : assignment.keyCodes) {
            row[static_cast<size_t>(code)] = *value;
        }
    }
    const auto table = [](std::vector<Object::Array>& shaped) {
        return Object::array(
            {Object::array(std::move(shaped[0])), Object::array(std::move(shaped[1]))});
    };
    auto theme =
        SoundTheme::themeWithSounds(table(rows), mapping.name.value_or(defaultName), platform);
    // Themes without mouse sounds stay as they were, with no mouse table at all.
    if (hasMouseSounds) {
        theme->setMouseSounds(table(mouseRows));
    }
    theme->setPitchVariation(mapping.pitchCents.value_or(0));
    theme->setStereoPosition(mapping.stereoPosition.value_or(true));
    auto bytes = platform.archives.archivedDataWithRootObject(Object::instance(theme));
    if (!bytes) {
        error = "the theme could not be archived";
    }
    return bytes;
}

std::optional<std::vector<uint8_t>> buildThemeFromDirectory(const std::string& directory,
                                                            const std::string& defaultName,
                                                            Platform& platform,
                                                            std::string& error) {
    const std::string path = directory + "/" + kMappingFileName;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": no mapping file";
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    const auto mapping = parseMapping(text.str(), path, error);
    if (!mapping) {
        return std::nullopt;
    }
    return buildTheme(*mapping, directory, defaultName, platform, error);
}

}  // namespace plinka::themetool
