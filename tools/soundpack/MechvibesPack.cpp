#include "tools/soundpack/MechvibesPack.h"

#include <QJsonArray>
#include <QJsonValue>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>

#include "platform/linux/input/KeyMap.h"
#include "tools/soundpack/PackKeyCodes.h"
#include "tools/soundpack/PackLimits.h"

namespace plinka::soundpack {

namespace {

enum class DefineType { Sprite, Files };

// How sure a define is of its key; the surest define of a key counts.
enum class Rank {
    Marked,   // the compatibility encoding's own "0CODE" and "00CODE"
    Library,  // Mechvibes' codes: plain scan codes first, then the ones Windows packs use
    Evdev,    // Linux's codes, where Mechvibes' have no key
};

struct Define {
    Rank rank;
    int code;
    bool up;
    int keyCode;
    std::string label;
    QJsonValue value;
};

struct DefineKey {
    int code;
    bool up;
    bool marked;
};

// "30" or "30-up": the code and whether it is the release. In the compatibility encoding,
// "030" is the press and "0030" the release, marked as that encoding's own.
std::optional<DefineKey> parseDefineKey(std::string key, bool compatibility) {
    const bool up = key.ends_with("-up");
    if (up) {
        key.resize(key.size() - 3);
    }
    const bool marked = compatibility && !up && key.size() > 1 && key[0] == '0';
    const bool markedUp = marked && key.size() > 2 && key[1] == '0';
    if (marked) {
        key.erase(0, markedUp ? 2 : 1);
    }
    int code = 0;
    const auto [end, failed] = std::from_chars(key.data(), key.data() + key.size(), code);
    if (key.empty() || key.size() > 6 || failed != std::errc() || end != key.data() + key.size()) {
        return std::nullopt;
    }
    return DefineKey{code, up || markedUp, marked};
}

std::optional<int> smallNumber(std::string_view text) {
    int value = 0;
    const auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text.size() > 6 || failed != std::errc() ||
        end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// The files a name stands for: itself, or with a range "{lo-hi}" one file per number.
std::optional<KeySound> expandRange(const std::string& name, const std::string& label,
                                    std::vector<std::string>& warnings) {
    const size_t open = name.find('{');
    const size_t close = name.find('}', open);
    const size_t dash = name.find('-', open);
    if (open == std::string::npos || close == std::string::npos || dash > close) {
        return KeySound{{name}};
    }
    const auto low = smallNumber(std::string_view(name).substr(open + 1, dash - open - 1));
    const auto high = smallNumber(std::string_view(name).substr(dash + 1, close - dash - 1));
    if (!low || !high) {
        return KeySound{{name}};
    }
    if (*low > *high || *high - *low >= PackLimits::kMaxVariants) {
        warnings.push_back(label + ": \"" + name + "\" is not a range of 1 to " +
                           std::to_string(PackLimits::kMaxVariants) + " variants; left out");
        return std::nullopt;
    }
    KeySound variants;
    for (int n = *low; n <= *high; ++n) {
        variants.push_back({name.substr(0, open) + std::to_string(n) + name.substr(close + 1)});
    }
    return variants;
}

class Reader {
  public:
    Reader(int version, DefineType type, std::string sprite)
        : version_(version), type_(type), sprite_(std::move(sprite)) {}

    // What the define's value plays; nullopt (with a warning) when it can't be taken.
    std::optional<KeySound> soundOf(const Define& define, std::vector<std::string>& warnings) {
        const QJsonValue& value = define.value;
        if (value.isNull() || (value.isString() && value.toString().isEmpty())) {
            return KeySound{};
        }
        if (value.isString()) {
            return fileSound(value.toString().toStdString(), define.label, warnings);
        }
        if (value.isArray() && type_ == DefineType::Sprite) {
            return slice(value.toArray(), define.label, warnings);
        }
        warnings.push_back(define.label + ": " +
                           (value.isArray() ? "a slice of a sprite, but this pack has none"
                                            : "neither a file name nor null") +
                           "; left out");
        return std::nullopt;
    }

    std::optional<KeySound> fileSound(const std::string& name, const std::string& label,
                                      std::vector<std::string>& warnings) const {
        if (version_ >= 2) {
            return expandRange(name, label, warnings);
        }
        return KeySound{{name}};
    }

  private:
    std::optional<KeySound> slice(const QJsonArray& array, const std::string& label,
                                  std::vector<std::string>& warnings) const {
        const double start = array.size() >= 2 && array[0].isDouble() ? array[0].toDouble() : -1;
        const double length = array.size() >= 2 && array[1].isDouble() ? array[1].toDouble() : -1;
        if (!std::isfinite(start) || !std::isfinite(length) || start < 0 || length <= 0) {
            warnings.push_back(label + ": not a [start, length] in milliseconds of " + sprite_ +
                               "; left out");
            return std::nullopt;
        }
        return KeySound{{sprite_, start, length}};
    }

    int version_;
    DefineType type_;
    std::string sprite_;
};

std::string labelFor(const std::string& key, int keyCode) {
    const auto name = nameForKeyCode(keyCode);
    return "key " + key + (name.empty() ? "" : " (" + std::string(name) + ")");
}

}  // namespace

std::optional<PackPlan> planMechvibes(const QJsonObject& config, std::string& error) {
    const QJsonValue versionValue = config.value("version");
    const double versionNumber =
        versionValue.isUndefined() || versionValue.isNull() ? 1 : versionValue.toDouble(-1);
    const int version = versionNumber == 1 ? 1 : versionNumber == 2 ? 2 : 0;
    if (version == 0) {
        error = "config.json: \"version\" is not 1 or 2, the Mechvibes versions Plinka reads";
        return std::nullopt;
    }
    PackPlan plan;
    if (const QString name = config.value("name").toString().trimmed(); !name.isEmpty()) {
        plan.name = name.toStdString();
    }
    const std::string sound = config.value("sound").toString().toStdString();
    DefineType type = DefineType::Files;
    if (version == 1) {
        QString typeName = config.value("key_define_type").toString("single");
        // What a widely used fixer of packs writes for "multi".
        if (typeName == "multiple") {
            typeName = "multi";
        }
        if (typeName != "single" && typeName != "multi") {
            error = "config.json: \"key_define_type\" is neither \"single\" nor \"multi\"";
            return std::nullopt;
        }
        type = typeName == "single" ? DefineType::Sprite : DefineType::Files;
        if (type == DefineType::Sprite && sound.empty()) {
            error = "config.json: \"sound\" names no sprite file";
            return std::nullopt;
        }
    }
    plan.format = version == 2                 ? "Mechvibes 2"
                  : type == DefineType::Sprite ? "Mechvibes 1, one sprite"
                                               : "Mechvibes 1, one file per key";
    const std::string soundUp =
        version == 2 ? config.value("soundup").toString().toStdString() : "";
    const QJsonValue defines = config.value("defines");
    const bool hasDefaults = version == 2 && !(sound.empty() && soundUp.empty());
    if (!defines.isObject() && !hasDefaults) {
        error = "config.json: no \"defines\"";
        return std::nullopt;
    }

    std::vector<Define> parsed;
    std::set<int> unknownCodes;
    const bool compatibility = config.value("compatibility").toBool();
    const QJsonObject defineObject = defines.toObject();
    for (auto entry = defineObject.begin(); entry != defineObject.end(); ++entry) {
        const std::string key = entry.key().toStdString();
        const auto code = parseDefineKey(key, compatibility);
        if (!code) {
            plan.warnings.push_back("\"" + key + "\" is not a key code; left out");
            continue;
        }
        const auto libraryKey = keyCodeForMechvibesCode(code->code);
        const auto evdevKey = libraryKey ? std::nullopt : keyCodeForEvdevCode(code->code);
        if (!libraryKey && !evdevKey) {
            unknownCodes.insert(code->code);
            continue;
        }
        const Rank rank = code->marked ? Rank::Marked : libraryKey ? Rank::Library : Rank::Evdev;
        const int keyCode = libraryKey ? *libraryKey : *evdevKey;
        parsed.push_back(
            {rank, code->code, code->up, keyCode, labelFor(key, keyCode), entry.value()});
    }
    // The first define of a key counts: the surest, then the plain codes before the ones
    // Windows packs use.
    std::stable_sort(parsed.begin(), parsed.end(), [](const Define& a, const Define& b) {
        return std::pair(a.rank, a.code) < std::pair(b.rank, b.code);
    });
    Reader reader(version, type, sound);
    std::vector<std::string> clashes;
    for (const auto& define : parsed) {
        auto& row = plan.keys[define.up ? 0 : 1];
        if (row.contains(define.keyCode)) {
            // A Linux code for a key the pack gives by Mechvibes' code: it means something else.
            if (define.rank == Rank::Evdev) {
                clashes.push_back(std::to_string(define.code) + (define.up ? "-up" : ""));
            }
            continue;
        }
        if (auto keySound = reader.soundOf(define, plan.warnings)) {
            row[define.keyCode] = std::move(*keySound);
        }
    }
    if (version == 2) {
        const std::pair<int, std::string> defaults[] = {{1, sound}, {0, soundUp}};
        for (const auto& [state, file] : defaults) {
            if (file.empty()) {
                continue;
            }
            const auto keySound =
                reader.fileSound(file, state == 1 ? "\"sound\"" : "\"soundup\"", plan.warnings);
            for (const auto& key : keyMapEntries()) {
                if (keySound && !plan.keys[static_cast<size_t>(state)].contains(key.keyCode)) {
                    plan.keys[static_cast<size_t>(state)][key.keyCode] = *keySound;
                }
            }
        }
    }
    for (auto& row : plan.keys) {
        std::erase_if(row, [](const auto& slot) { return slot.second.empty(); });
    }
    if (!clashes.empty()) {
        plan.warnings.push_back("no key for the codes " + shortList(clashes) +
                                " (read as Linux key codes, they name keys the pack gives by "
                                "Mechvibes' codes); left out");
    }
    if (!unknownCodes.empty()) {
        std::vector<std::string> codes;
        for (int code : unknownCodes) {
            codes.push_back(std::to_string(code));
        }
        plan.warnings.push_back("no key for the codes " + shortList(codes) + "; left out");
    }
    return plan;
}

}  // namespace plinka::soundpack
