// Writes the hostile inputs too large to keep in the repository: sparse files and many files,
// and a pack for each config of config/ (the pack fuzzer's seeds) with the sounds they name.
// (The zips that claim to unpack to far more than they hold are small enough to keep.)
// Usage: plinka_corpus_large CORPUS-DIRECTORY OUTPUT-DIRECTORY
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "CorpusPack.h"
#include "TestFiles.h"

namespace {

namespace fs = std::filesystem;
using plinka::testing::fileContents;
using plinka::testing::writeFile;

// A WAV header for 16-bit PCM whose sizes claim `dataBytes`; the file is extended to match
// without taking room on disk.
void writeWav(const fs::path& file, uint32_t rate, uint16_t channels, uint32_t dataBytes) {
    std::string header;
    const auto put = [&](uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            header += static_cast<char>(value >> (8 * i) & 0xFF);
        }
    };
    header += "RIFF";
    put(dataBytes + 36u, 4);
    header += "WAVEfmt ";
    put(16, 4);
    put(1, 2);
    put(channels, 2);
    put(rate, 4);
    put(std::min<uint64_t>(uint64_t{rate} * channels * 2, 0xFFFFFFFF), 4);
    put(channels * 2u, 2);
    put(16, 2);
    header += "data";
    put(dataBytes, 4);
    writeFile(file, header);
    fs::resize_file(file, header.size() + dataBytes);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s CORPUS-DIRECTORY OUTPUT-DIRECTORY\n", argv[0]);
        return 2;
    }
    const fs::path corpus = argv[1];
    const fs::path out = argv[2];
    fs::remove_all(out);

    std::string elements = "<plist><array>";
    for (int i = 0; i < 300000; ++i) {
        elements += "<true/>";
    }
    writeFile(out / "theme/too-many-elements.xml", elements + "</array></plist>");

    writeWav(out / "sound/too-long.wav", 8000, 1, 8000 * 2 * 31);
    writeWav(out / "sound/rate-too-high.wav", 0x7FFFFFFF, 1, 0x7FFFFFF0);
    writeWav(out / "sound/too-many-channels.wav", 48000, 746, 0x7FFFFFF0);

    writeFile(out / "pack/huge-config/config.json", "");
    fs::resize_file(out / "pack/huge-config/config.json", 100 * 1024 * 1024);
    const std::string tone = fileContents(corpus / "pack/outside.wav");
    const std::string multi = R"({"key_define_type": "multi", "defines": )";

    const fs::path thousands = out / "pack/thousands-of-files";
    writeFile(thousands / "config.json", multi + R"({"30": "a.wav", "31": "noise/n2999.wav"}})");
    writeFile(thousands / "a.wav", tone);
    for (int i = 0; i < 3000; ++i) {
        writeFile(thousands / "noise" / ("n" + std::to_string(i) + ".wav"), i == 2999 ? tone : "x");
    }
    writeFile(out / "pack/too-many-files/config.json", multi + R"({"30": "n0"}})");
    for (int i = 0; i < 10000; ++i) {
        writeFile(out / "pack/too-many-files" / ("n" + std::to_string(i)), "");
    }
    for (const auto& config : fs::directory_iterator(corpus / "config")) {
        const fs::path pack = out / "pack" / config.path().stem();
        writeFile(pack / "config.json", fileContents(config.path()));
        plinka::testing::writeCorpusPackSounds(pack);
    }
    return 0;
}
