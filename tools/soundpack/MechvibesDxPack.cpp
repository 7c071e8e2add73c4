#include "tools/soundpack/MechvibesDxPack.h"

#include <QJsonArray>
#include <QJsonValue>

#include <algorithm>
#include <cmath>

#include "sound/SoundTheme.h"
#include "tools/soundpack/MechvibesPack.h"
#include "tools/soundpack/PackKeyCodes.h"

namespace plinka::soundpack {

namespace {

// What a pack's "random_pitch": true stands for: a variation heard, not a detuned instrument.
constexpr int kPitchCentsWhenOn = 50;

std::optional<int> mouseButtonForName(const QString& name) {
    const QString buttons[] = {"MouseLeft", "MouseRight", "MouseMiddle"};
    for (int button = 0; button < 3; ++button) {
        if (name.compare(buttons[button], Qt::CaseInsensitive) == 0) {
            return button;
        }
    }
    return std::nullopt;
}

std::string milliseconds(double value) {
    return std::to_string(static_cast<long long>(std::clamp(std::round(value), -1e15, 1e15))) +
           " ms";
}

// One [start, end] of a timing as the slice of `file` it names: nothing for an absent or empty
// pair; nullopt (with a warning) when it is no time span.
std::optional<KeySound> slice(const QJsonValue& pair, const std::string& file,
                              const std::string& label, std::vector<std::string>& warnings) {
    if (pair.isUndefined() || pair.isNull() || (pair.isArray() && pair.toArray().isEmpty())) {
        return KeySound{};
    }
    const QJsonArray times = pair.toArray();
    if (!pair.isArray() || times.size() != 2 || !times[0].isDouble() || !times[1].isDouble()) {
        warnings.push_back(label + ": not [start, end] in milliseconds; left out");
        return std::nullopt;
    }
    const double start = times[0].toDouble();
    const double end = times[1].toDouble();
    if (!std::isfinite(start) || !std::isfinite(end) || start < 0 || end < 0) {
        warnings.push_back(label + ": a time before the start of the file; left out");
        return std::nullopt;
    }
    if (end < start) {
        warnings.push_back(label + ": ends at " + milliseconds(end) + ", before it starts at " +
                           milliseconds(start) + "; left out");
        return std::nullopt;
    }
    if (end == start) {
        return KeySound{};
    }
    return KeySound{{file, start, end - start}};
}

// The press and release of one definition; each nullopt when it can't be taken.
std::pair<std::optional<KeySound>, std::optional<KeySound>> definitionSounds(
    const QJsonObject& definition, const std::string& spriteFile, const std::string& label,
    std::vector<std::string>& warnings) {
    const bool ownFile = spriteFile.empty();
    const std::string file =
        ownFile ? definition.value("audio_file").toString().toStdString() : spriteFile;
    const QJsonValue timing = definition.value("timing");
    if (file.empty()) {
        warnings.push_back(label + ": names no \"audio_file\"; left out");
        return {};
    }
    if (ownFile && timing.isUndefined()) {
        return {KeySound{{file}}, KeySound{}};
    }
    if (!timing.isArray()) {
        warnings.push_back(
            label + ": no \"timing\" [[down_start, down_end], [up_start, up_end]]; left out");
        return {};
    }
    const QJsonArray pairs = timing.toArray();
    return {slice(pairs.at(0), file, label, warnings),
            slice(pairs.at(1), file, label + " (release)", warnings)};
}

std::optional<int> pitchCents(const QJsonValue& value, std::vector<std::string>& warnings) {
    if (value.isUndefined() || value.isNull() || value.isBool()) {
        return value.toBool() ? std::optional(kPitchCentsWhenOn) : std::nullopt;
    }
    const double cents = value.toDouble(std::nan(""));
    if (!value.isDouble() || !std::isfinite(cents)) {
        warnings.push_back(
            "\"random_pitch\": neither a number of cents nor true or false; left out");
        return std::nullopt;
    }
    const auto kept = static_cast<int>(
        std::lround(std::clamp(cents, 0.0, double{SoundTheme::kMaxPitchVariation})));
    if (cents < 0 || cents > SoundTheme::kMaxPitchVariation) {
        warnings.push_back("\"random_pitch\": " + std::to_string(std::lround(cents)) +
                           " cents is outside 0 to " +
                           std::to_string(SoundTheme::kMaxPitchVariation) + "; " +
                           std::to_string(kept) + " taken");
    }
    return kept > 0 ? std::optional(kept) : std::nullopt;
}

}  // namespace

std::optional<PackPlan> planMechvibesDx(const QJsonObject& config, std::string& error) {
    const QJsonValue version = config.value("config_version");
    const QString versionText =
        version.isDouble() ? QString::number(version.toDouble()) : version.toString().trimmed();
    if (versionText == "1") {
        return planMechvibes(config, error);
    }
    if (versionText != "2") {
        error =
            "config.json: \"config_version\" is not 1 or 2, the MechvibesDX versions Plinka "
            "reads";
        return std::nullopt;
    }
    const QString method = config.value("definition_method").toString("single");
    const bool sprite = method == "single";
    if (!sprite && method != "multi" && method != "multiple") {
        error = "config.json: \"definition_method\" is neither \"single\" nor \"multi\"";
        return std::nullopt;
    }
    const std::string spriteFile =
        sprite ? config.value("audio_file").toString().toStdString() : std::string();
    if (sprite && spriteFile.empty()) {
        error = "config.json: \"audio_file\" names no sound file";
        return std::nullopt;
    }
    if (!config.value("definitions").isObject()) {
        error = "config.json: no \"definitions\"";
        return std::nullopt;
    }
    PackPlan plan;
    plan.format = sprite ? "MechvibesDX, one sprite" : "MechvibesDX, one file per key";
    if (const QString name = config.value("name").toString().trimmed(); !name.isEmpty()) {
        plan.name = name.toStdString();
    }
    std::vector<std::string> unknownNames;
    const QJsonObject definitions = config.value("definitions").toObject();
    for (auto entry = definitions.begin(); entry != definitions.end(); ++entry) {
        const std::string name = entry.key().toStdString();
        const auto button = mouseButtonForName(entry.key());
        const auto keyCode = button ? std::nullopt : keyCodeForW3cName(name);
        if (!button && !keyCode) {
            unknownNames.push_back(name);
            continue;
        }
        if (entry.value().isNull()) {
            continue;
        }
        if (!entry.value().isObject()) {
            plan.warnings.push_back(name + ": not a definition with a \"timing\"; left out");
            continue;
        }
        auto& table = button ? plan.mouse : plan.keys;
        const int code = button ? *button : *keyCode;
        const auto [press, release] =
            definitionSounds(entry.value().toObject(), spriteFile, name, plan.warnings);
        for (const auto& [state, sound] : {std::pair{1, press}, std::pair{0, release}}) {
            if (sound && !sound->empty()) {
                table[static_cast<size_t>(state)].try_emplace(code, *sound);
            }
        }
    }
    if (!unknownNames.empty()) {
        plan.warnings.push_back("no key or mouse button is named " + shortList(unknownNames) +
                                "; left out");
    }
    const QJsonValue options = config.value("options");
    plan.pitchCents = pitchCents(options.toObject().value("random_pitch"), plan.warnings);
    return plan;
}

}  // namespace plinka::soundpack
