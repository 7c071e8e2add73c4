#include "tools/synth/RecipeFile.h"

#include <charconv>
#include <set>
#include <sstream>

#include "tools/theme/MappingFile.h"

namespace plinka::synth {

namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const auto at = text.find(separator, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string_view::npos) {
            return parts;
        }
        start = at + 1;
    }
}

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> result;
    for (auto part : split(text, ' ')) {
        for (auto word : split(part, '\t')) {
            if (!word.empty()) {
                result.push_back(word);
            }
        }
    }
    return result;
}

bool parseNumber(std::string_view text, double& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

// Sets one "key=value" setting on the layer; the reason when it isn't one.
std::optional<std::string> applySetting(Layer& layer, std::string_view key, double value) {
    struct Field {
        std::string_view key;
        double Layer::*member;
        double minimum;
    };
    static constexpr Field kFields[] = {
        {"at", &Layer::at, 0},           {"attack", &Layer::attack, 0.01},
        {"decay", &Layer::decay, 0.1},   {"gain", &Layer::gain, 0},
        {"freq", &Layer::freq, 10},      {"q", &Layer::q, 0.05},
        {"glide", &Layer::glide, 0.01},  {"glide-time", &Layer::glideTime, 0.1},
        {"spacing", &Layer::spacing, 0}, {"falloff", &Layer::falloff, 0},
    };
    static constexpr std::pair<std::string_view, FilterType> kFilters[] = {
        {"lowpass", FilterType::Lowpass},
        {"highpass", FilterType::Highpass},
        {"bandpass", FilterType::Bandpass},
    };
    for (const auto& field : kFields) {
        if (field.key == key) {
            if (value < field.minimum) {
                std::ostringstream message;
                message << "\"" << key << "\" must be at least " << field.minimum;
                return message.str();
            }
            layer.*field.member = value;
            return std::nullopt;
        }
    }
    for (const auto& [name, type] : kFilters) {
        if (name == key) {
            layer.filter = type;
            layer.freq = value;
            return std::nullopt;
        }
    }
    if (key == "repeat") {
        if (value < 1 || value > 64) {
            return "\"repeat\" must be 1 to 64";
        }
        layer.repeat = static_cast<int>(value);
        return std::nullopt;
    }
    return "unknown layer setting \"" + std::string(key) + "\"";
}

std::optional<std::string> applyPatchSetting(Patch& patch, std::string_view key, double value) {
    if (key == "length" && value >= 0) {
        patch.length = value;
    } else if (key == "level" && value <= 0) {
        patch.level = value;
    } else if (key == "jitter" && value >= 0 && value < 0.5) {
        patch.jitter = value;
    } else {
        return "expected length=MS, level=DB (0 or less) or jitter=FRACTION (below 0.5), found \"" +
               std::string(key) + "\"";
    }
    return std::nullopt;
}

// Calls `apply` for each "key=value" word; the first problem it or the syntax reports.
template <class Apply>
std::optional<std::string> applySettings(const std::vector<std::string_view>& settings,
                                         Apply apply) {
    for (auto setting : settings) {
        const auto equals = setting.find('=');
        double value = 0;
        if (equals == std::string_view::npos || !parseNumber(setting.substr(equals + 1), value)) {
            return "expected KEY=NUMBER, found \"" + std::string(setting) + "\"";
        }
        if (auto problem = apply(setting.substr(0, equals), value)) {
            return problem;
        }
    }
    return std::nullopt;
}

std::optional<std::string> parsePatch(std::string_view text, Patch& patch) {
    const auto segments = split(text, '|');
    if (auto problem = applySettings(words(segments[0]), [&](auto key, double value) {
            return applyPatchSetting(patch, key, value);
        })) {
        return problem;
    }
    for (size_t i = 1; i < segments.size(); ++i) {
        auto layerWords = words(segments[i]);
        if (layerWords.empty() || (layerWords[0] != "noise" && layerWords[0] != "mode")) {
            return "each layer begins with \"noise\" or \"mode\"";
        }
        Layer layer;
        layer.kind = layerWords[0] == "noise" ? Layer::Kind::Noise : Layer::Kind::Mode;
        layerWords.erase(layerWords.begin());
        if (auto problem = applySettings(layerWords, [&](auto key, double value) {
                return applySetting(layer, key, value);
            })) {
            return problem;
        }
        patch.layers.push_back(layer);
    }
    return std::nullopt;
}

}  // namespace

std::optional<Recipe> parseRecipe(std::string_view text, std::string_view source,
                                  std::string& error) {
    Recipe recipe;
    std::set<std::string, std::less<>> files;
    const auto lines = split(text, '\n');
    for (size_t next = 0; next < lines.size();) {
        // A line that ends in a backslash goes on on the next one.
        const int lineNumber = static_cast<int>(next) + 1;
        std::string joined;
        size_t count = 0;
        for (;;) {
            std::string_view part = lines[next + count++];
            const bool continues = part.ends_with('\\') && next + count < lines.size();
            joined.append(continues ? part.substr(0, part.size() - 1) : part);
            if (!continues) {
                break;
            }
            joined.push_back(' ');
        }
        next += count;
        const std::string_view line = joined;
        const auto lineWords = words(line);
        // Kept line for line, so the mapping's errors point at the recipe's lines.
        if (lineWords.empty() || lineWords[0] != "sound") {
            recipe.mappingText.append(line);
        }
        recipe.mappingText.append(count, '\n');
        if (lineWords.empty() || lineWords[0] != "sound") {
            continue;
        }
        const auto fail = [&](const std::string& what) {
            error = std::string(source) + ":" + std::to_string(lineNumber) + ": " + what;
            return std::nullopt;
        };
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) {
            return fail("expected sound FILE... = SETTINGS | LAYER...");
        }
        const auto names = words(line.substr(0, equals));
        if (names.size() < 2) {
            return fail("no file name before \"=\"");
        }
        Patch patch;
        if (auto problem = parsePatch(line.substr(equals + 1), patch)) {
            return fail(*problem);
        }
        for (size_t i = 1; i < names.size(); ++i) {
            if (!files.emplace(names[i]).second) {
                return fail("sound \"" + std::string(names[i]) + "\" is made twice");
            }
            recipe.sounds.push_back({std::string(names[i]), patch, lineNumber});
        }
    }

    const auto mapping = themetool::parseMapping(recipe.mappingText, source, error);
    if (!mapping) {
        return std::nullopt;
    }
    for (const auto& assignment : mapping->assignments) {
        for (const auto& file : assignment.value.files) {
            if (!files.contains(file)) {
                error = std::string(source) + ":" + std::to_string(assignment.line) +
                        ": no sound makes \"" + file + "\"";
                return std::nullopt;
            }
        }
    }
    return recipe;
}

}  // namespace plinka::synth
