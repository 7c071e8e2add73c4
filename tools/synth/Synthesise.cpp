#include "tools/synth/Synthesise.h"

#include <filesystem>
#include <fstream>

#include "base/SeededRandom.h"
#include "tools/synth/WavFile.h"

namespace plinka::synth {

namespace {

bool hasContent(const std::string& mappingText) {
    std::string_view text = mappingText;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const auto line = text.substr(0, end);
        const auto first = line.find_first_not_of(" \t\r");
        if (first != std::string_view::npos && line[first] != '#') {
            return true;
        }
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return false;
}

}  // namespace

bool synthesise(const Recipe& recipe, const std::string& directory, std::string& error) {
    std::error_code made;
    std::filesystem::create_directories(directory, made);
    if (made) {
        error = directory + ": " + made.message();
        return false;
    }
    for (const auto& sound : recipe.sounds) {
        Audio audio{renderPatch(sound.patch, seedFromText(sound.file)), kSampleRate, 1};
        if (!writeWav(directory + "/" + sound.file, audio, error)) {
            return false;
        }
    }
    if (hasContent(recipe.mappingText)) {
        const std::string path = directory + "/" + kMappingFileName;
        std::ofstream mapping(path, std::ios::binary | std::ios::trunc);
        mapping << recipe.mappingText;
        if (!mapping.flush()) {
            error = path + ": can't write the mapping file";
            return false;
        }
    }
    return true;
}

}  // namespace plinka::synth
