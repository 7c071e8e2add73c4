#include "tools/theme/ThemeTable.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

#include "sound/Sound.h"
#include "sound/SoundTheme.h"
#include "tools/theme/KeyNames.h"

namespace plinka::themetool {

namespace {

class SlotDescriber {
  public:
    explicit SlotDescriber(const SoundLength& lengthOf) : lengthOf_(lengthOf) {}

    std::string describe(const Object& slot) {
        if (slot.type() == Object::Type::Null) {
            return {};
        }
        if (const auto* text = slot.stringValue()) {
            return "say \"" + *text + "\"";
        }
        if (const auto* variants = slot.arrayValue()) {
            std::string line = "one of " + std::to_string(variants->size()) + ":";
            for (const auto& variant : *variants) {
                line += " " +
                        (variant.as<Sound>() ? soundText(*variant.as<Sound>()) : invalid(variant));
            }
            return line;
        }
        if (const auto* sound = slot.as<Sound>()) {
            return "sound " + soundText(*sound);
        }
        return invalid(slot);
    }

    size_t soundCount() const { return durations_.size(); }

  private:
    static std::string invalid(const Object& value) {
        if (value.isNil()) {  // what a sound whose set-up failed decodes to
            return "(a sound that could not be loaded)";
        }
        return "(invalid: " + std::string(value.className()) + ")";
    }

    std::string soundText(const Sound& sound) {
        auto [entry, fresh] = durations_.try_emplace(&sound);
        if (fresh) {
            if (const auto seconds = lengthOf_(sound)) {
                entry->second = " (" + std::to_string(std::lround(*seconds * 1000)) + " ms)";
            }
        }
        return sound.name().value_or("(unnamed)") + entry->second;
    }

    const SoundLength& lengthOf_;
    std::map<const Sound*, std::string> durations_;
};

}  // namespace

std::string describeTheme(const SoundTheme& theme, const SoundLength& lengthOf) {
    std::ostringstream out;
    out << "name: " << theme.name().value_or("(none)") << "\n";
    const auto* rows = theme.sounds().arrayValue();
    if (rows == nullptr) {
        out << "no table (" << theme.sounds().className() << ")\n";
        return out.str();
    }
    SlotDescriber describer(lengthOf);
    size_t used = 0;
    const auto describeRows = [&](const Object::Array& table, const char* down, const char* up,
                                  const auto& label) {
        for (int state = 1; state >= 0; --state) {
            if (static_cast<size_t>(state) >= table.size()) {
                continue;
            }
            const auto& row = table[static_cast<size_t>(state)];
            const auto* slots = row.arrayValue();
            const char* stateName = state == 1 ? down : up;
            if (slots == nullptr) {
                out << stateName << ": not a row (" << row.className() << ")\n";
                continue;
            }
            for (size_t code = 0; code < slots->size(); ++code) {
                const auto what = describer.describe((*slots)[code]);
                if (what.empty()) {
                    continue;
                }
                ++used;
                char slot[64];
                std::snprintf(slot, sizeof slot, "%-9s %-16s %4zu  ", stateName,
                              label(static_cast<int>(code)).c_str(), code);
                out << slot << what << "\n";
            }
        }
    };
    describeRows(*rows, "key-down", "key-up", keyLabel);
    if (const auto* mouseRows = theme.mouseSounds().arrayValue()) {
        describeRows(*mouseRows, "mouse-down", "mouse-up", [](int button) {
            const auto name = mouseButtonName(button);
            return name.empty() ? std::to_string(button) : std::string(name);
        });
    }
    out << rows->size() << " rows, " << used << " slots in use, " << describer.soundCount()
        << " sounds\n";
    return out.str();
}

}  // namespace plinka::themetool
