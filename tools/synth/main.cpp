// plinka-synth: renders a theme recipe into a folder of WAV files and a mapping file.

#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "tools/synth/RecipeFile.h"
#include "tools/synth/Synthesise.h"

namespace {

constexpr const char* kUsage =
    "Usage: plinka-synth RECIPE -o DIR\n"
    "Renders every sound a recipe defines (48 kHz, 16-bit mono WAV) into DIR, and writes the\n"
    "recipe's mapping lines there as theme.map, ready for `plinka-theme build DIR -o FILE`.\n"
    "The recipe format is described in tools/README.md.\n";

int fail(const std::string& message) {
    std::cerr << "plinka-synth: " << message << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << kUsage;
        return 0;
    }
    if (argc != 4 || std::strcmp(argv[2], "-o") != 0) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string recipePath = argv[1];
    std::ifstream in(recipePath, std::ios::binary);
    if (!in) {
        return fail(recipePath + ": can't open the recipe");
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    const auto recipe = plinka::synth::parseRecipe(text.str(), recipePath, error);
    if (!recipe) {
        return fail(error);
    }
    if (!plinka::synth::synthesise(*recipe, argv[3], error)) {
        return fail(error);
    }
    return 0;
}
