#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plinka::themetool {

// The mapping file's name in a theme folder, as `plinka-theme build` reads it.
inline constexpr const char* kMappingFileName = "theme.map";

// What one slot does, as a mapping file says it.
struct SlotValue {
    enum class Kind { Silent, Say, Files };
    Kind kind = Kind::Silent;
    std::string text;                // Say: the text to speak
    std::vector<std::string> files;  // Files: one sound, or several variants picked at random
};

// One line's assignment to some keys or mouse buttons in one state (1 down, 0 up).
struct Assignment {
    enum class Target { Key, Mouse };
    int state = 1;
    std::vector<int> keyCodes;  // Mouse: the button numbers (0 left, 1 right, 2 middle)
    SlotValue value;
    int line = 0;
    Target target = Target::Key;
};

// A theme as a mapping file describes it; later assignments override earlier ones.
struct Mapping {
    std::optional<std::string> name;
    std::vector<Assignment> assignments;
    // Each play's pitch varied at random by up to this many cents either way (0 to 100).
    std::optional<int> pitchCents;
    // Whether each key's sound is placed in stereo where the key sits (the default).
    std::optional<bool> stereoPosition;
};

// Parses the mapping file format:
//   # comment
//   name = Typewriter                  the theme's name
//   key-down KEYS = FILE [FILE...]      one file plays; several are variants picked at random
//   key-up KEYS = say "text"            speaks the text
//   key-up KEYS = silent                plays nothing (the default for every slot)
//   mouse-down BUTTONS = FILE           the same for mouse buttons: left, right, middle
//   pitch = CENTS                       each play's pitch varied by up to 0 to 100 cents
//   stereo = yes|no                     each key placed in stereo where it sits (yes)
// KEYS are key names, key codes or groups (see keyCodesForWord). Words may be double-quoted,
// with \" and \\ inside. On error: nullopt and "SOURCE:LINE: what is wrong" in `error`.
std::optional<Mapping> parseMapping(std::string_view text, std::string_view source,
                                    std::string& error);

// Splits a line into words: blanks separate them, double quotes keep one together, and a
// lone "=" is a word of its own. False with the reason when a quote is not closed.
bool splitWords(std::string_view line, std::vector<std::string>& words, std::string& error);

}  // namespace plinka::themetool
