#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/synth/Patch.h"

namespace plinka::synth {

// One audio file to synthesise.
struct SoundRecipe {
    std::string file;
    Patch patch;
    int line = 0;
};

// A theme recipe: the sounds to make, and the mapping lines that put them on keys.
struct Recipe {
    std::vector<SoundRecipe> sounds;
    // The recipe's other lines: a mapping file over the synthesised files.
    std::string mappingText;
};

// Parses a recipe: a mapping file (see tools/theme/MappingFile.h) plus lines that define sounds:
//   sound FILE [FILE...] = [length=MS] [level=DB] [jitter=FRACTION] | LAYER | LAYER ...
//   LAYER:  noise|mode [at=MS] [attack=MS] [decay=MS] [gain=X] [freq=HZ] [q=X]
//           [lowpass=HZ|highpass=HZ|bandpass=HZ] [glide=X] [glide-time=MS]
//           [repeat=N] [spacing=MS] [falloff=X]
// A line ending in a backslash continues on the next. Several files on one line are renderings
// of one patch with different seeds (variants). The mapping is checked too: every file it names
// must be one the recipe makes. On error: nullopt and "SOURCE:LINE: what is wrong" in `error`.
std::optional<Recipe> parseRecipe(std::string_view text, std::string_view source,
                                  std::string& error);

}  // namespace plinka::synth
