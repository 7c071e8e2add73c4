#include "tools/theme/MappingFile.h"

#include <algorithm>
#include <charconv>

#include "sound/SoundTheme.h"
#include "tools/theme/KeyNames.h"

namespace plinka::themetool {

namespace {

constexpr int kMaxPitchCents = SoundTheme::kMaxPitchVariation;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::optional<SlotValue> parseValue(const std::vector<std::string>& words, std::string& error) {
    SlotValue value;
    if (words.empty()) {
        error = "nothing after \"=\" (use \"silent\" for a silent key)";
        return std::nullopt;
    }
    if (words[0] == "silent") {
        if (words.size() != 1) {
            error = "\"silent\" takes nothing after it";
            return std::nullopt;
        }
        return value;
    }
    if (words[0] == "say") {
        if (words.size() != 2 || words[1].empty()) {
            error = "\"say\" takes one text, in double quotes when it has blanks";
            return std::nullopt;
        }
        value.kind = SlotValue::Kind::Say;
        value.text = words[1];
        return value;
    }
    value.kind = SlotValue::Kind::Files;
    value.files = words;
    return value;
}

std::optional<Assignment> parseAssignment(const std::vector<std::string>& words,
                                          std::string& error) {
    const auto equals = std::find(words.begin(), words.end(), "=");
    Assignment assignment;
    const std::string_view what = words[0];
    if (what == "key-down" || what == "key-up") {
        assignment.state = what == "key-down" ? 1 : 0;
    } else if (what == "mouse-down" || what == "mouse-up") {
        assignment.target = Assignment::Target::Mouse;
        assignment.state = what == "mouse-down" ? 1 : 0;
    } else {
        error =
            "expected \"name =\", \"pitch =\", \"stereo =\", \"key-down\", \"key-up\", "
            "\"mouse-down\" or \"mouse-up\", "
            "found \"" +
            words[0] + "\"";
        return std::nullopt;
    }
    const bool mouse = assignment.target == Assignment::Target::Mouse;
    if (equals == words.end()) {
        error = "missing \"=\" after the keys";
        return std::nullopt;
    }
    if (equals == words.begin() + 1) {
        error = mouse ? "no buttons before \"=\"" : "no keys before \"=\"";
        return std::nullopt;
    }
    for (auto word = words.begin() + 1; word != equals; ++word) {
        if (mouse) {
            const auto button = mouseButtonForName(*word);
            if (!button) {
                error = "unknown mouse button \"" + *word + "\" (left, right or middle)";
                return std::nullopt;
            }
            assignment.keyCodes.push_back(*button);
            continue;
        }
        auto codes = keyCodesForWord(*word);
        if (!codes) {
            error = "unknown key \"" + *word + "\"";
            return std::nullopt;
        }
        assignment.keyCodes.insert(assignment.keyCodes.end(), codes->begin(), codes->end());
    }
    auto value = parseValue({equals + 1, words.end()}, error);
    if (!value) {
        return std::nullopt;
    }
    assignment.value = std::move(*value);
    return assignment;
}

// "pitch = CENTS" or "stereo = yes|no".
bool parseSetting(const std::vector<std::string>& words, Mapping& mapping, std::string& error) {
    const bool pitch = words[0] == "pitch";
    if (words.size() != 3 || words[1] != "=") {
        error = pitch ? "expected pitch = CENTS" : "expected stereo = yes or stereo = no";
        return false;
    }
    const std::string& value = words[2];
    if (!pitch) {
        if (value != "yes" && value != "no") {
            error = "expected stereo = yes or stereo = no, found \"" + value + "\"";
            return false;
        }
        mapping.stereoPosition = value == "yes";
        return true;
    }
    int cents = -1;
    const auto [end, failed] = std::from_chars(value.data(), value.data() + value.size(), cents);
    if (failed != std::errc() || end != value.data() + value.size() || cents < 0 ||
        cents > kMaxPitchCents) {
        error = "the pitch varies by 0 to " + std::to_string(kMaxPitchCents) + " cents, not \"" +
                value + "\"";
        return false;
    }
    mapping.pitchCents = cents;
    return true;
}

}  // namespace

bool splitWords(std::string_view line, std::vector<std::string>& words, std::string& error) {
    words.clear();
    size_t i = 0;
    while (i < line.size()) {
        if (isBlank(line[i])) {
            ++i;
            continue;
        }
        std::string word;
        if (line[i] == '"') {
            ++i;
            for (;; ++i) {
                if (i >= line.size()) {
                    error = "unclosed double quote";
                    return false;
                }
                if (line[i] == '"') {
                    ++i;
                    break;
                }
                if (line[i] == '\\' && i + 1 < line.size()) {
                    ++i;
                }
                word += line[i];
            }
        } else if (line[i] == '=') {
            word = "=";
            ++i;
        } else {
            while (i < line.size() && !isBlank(line[i]) && line[i] != '=' && line[i] != '"') {
                word += line[i++];
            }
        }
        words.push_back(std::move(word));
    }
    return true;
}

std::optional<Mapping> parseMapping(std::string_view text, std::string_view source,
                                    std::string& error) {
    Mapping mapping;
    int lineNumber = 0;
    std::vector<std::string> words;
    while (!text.empty()) {
        ++lineNumber;
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);

        const auto fail = [&](const std::string& what) {
            error = std::string(source) + ":" + std::to_string(lineNumber) + ": " + what;
            return std::nullopt;
        };
        std::string problem;
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos || line[first] == '#') {
            continue;
        }
        if (!splitWords(line, words, problem)) {
            return fail(problem);
        }
        if (words[0] == "pitch" || words[0] == "stereo") {
            if (!parseSetting(words, mapping, problem)) {
                return fail(problem);
            }
            continue;
        }
        if (words[0] == "name") {
            if (words.size() < 3 || words[1] != "=" || words[2].empty()) {
                return fail("expected name = NAME");
            }
            // A name of several words keeps them, one blank apart.
            std::string name = words[2];
            for (size_t i = 3; i < words.size(); ++i) {
                name += " " + words[i];
            }
            mapping.name = std::move(name);
            continue;
        }
        auto assignment = parseAssignment(words, problem);
        if (!assignment) {
            return fail(problem);
        }
        assignment->line = lineNumber;
        mapping.assignments.push_back(std::move(*assignment));
    }
    return mapping;
}

}  // namespace plinka::themetool
