// libFuzzer target: bytes as a sound pack's config.json, imported as far as a check goes. The
// pack around it holds the sounds the seeds name (a one-second Ogg sprite and a few WAV files),
// so fuzzed defines reach the slicing, range and file look-ups with real audio behind them.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "corpus/CorpusPack.h"
#include "tools/soundpack/SoundPackImport.h"

namespace {

namespace fs = std::filesystem;

// The pack's folder, removed when the fuzzer exits.
struct PackFolder {
    PackFolder()
        : path(fs::temp_directory_path() / ("plinka-fuzz-pack-" + std::to_string(::getpid()))) {
        plinka::testing::writeCorpusPackSounds(path);
    }
    ~PackFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

const fs::path& packFolder() {
    static const PackFolder folder;
    return folder.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::ofstream(packFolder() / "config.json", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    std::string error;
    plinka::soundpack::checkSoundPack(packFolder().string(), {}, error);
    return 0;
}
