// Broken and hostile packs: each gives a clear message (or a warning while the rest imports),
// and nothing is written anywhere but the user's theme folder. Configs alone go in as data files
// (fuzz/pack-corpus).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <set>

#include "ScopedEnvironment.h"
#include "ScratchDirectory.h"
#include "TestFiles.h"
#include "tools/CorpusPack.h"
#include "tools/SoundPackMaker.h"
#include "tools/soundpack/PackConfig.h"
#include "tools/soundpack/SoundPackImport.h"
#include "tools/theme/ToolPlatform.h"

namespace plinka::testing {
namespace {

namespace fs = std::filesystem;

// A pack folder of Mechvibes 1 with one file per key: "a" plays a.wav, and `defines` adds more.
fs::path multiPack(const fs::path& scratch, const std::string& defines) {
    const fs::path pack = scratch / "pack";
    writeTone(pack / "a.wav", wavFormat(), 500, 40);
    writeFile(pack / "config.json", R"({"name": "Hostile", "key_define_type": "multi",
        "defines": {"30": "a.wav")" + defines +
                                        "}}");
    return pack;
}

// A pack of one sprite of 360 ms: "a" is its first 40 ms, `defines` adds more.
fs::path spritePack(const fs::path& scratch, const std::string& defines) {
    const fs::path pack = scratch / "pack";
    writeSamples(pack / "sound.ogg", oggFormat(), 44100, 2,
                 std::vector<float>(static_cast<size_t>(0.36 * 44100) * 2, 0.25f));
    writeFile(pack / "config.json", R"({"name": "Hostile", "key_define_type": "single",
        "sound": "sound.ogg", "defines": {"30": [0, 40])" +
                                        defines + "}}");
    return pack;
}

// The zip's bytes with one byte of the first entry's data flipped.
void damageFirstEntry(const fs::path& zip) {
    std::string bytes = fileContents(zip);
    const auto nameLength = static_cast<unsigned char>(bytes[26]) | (bytes[27] << 8);
    const auto extraLength = static_cast<unsigned char>(bytes[28]) | (bytes[29] << 8);
    bytes[static_cast<size_t>(30 + nameLength + extraLength + 2)] ^= 0x55;
    writeFile(zip, bytes);
}

struct HostileCase {
    std::string name;
    // Makes the pack in the scratch folder; answers the path to import.
    std::function<fs::path(const fs::path&)> make;
    // Found in the error when nothing imports, else in one of the warnings.
    std::string problem;
    bool imports;
};

void PrintTo(const HostileCase& test, std::ostream* out) {
    *out << test.name;
}

// Made only by the cases that need it: every test of this file runs in a process of its own.
std::string hundredMegabytes() {
    return std::string(100 * 1024 * 1024, ' ');
}

const std::vector<HostileCase>& hostileCases() {
    static const std::vector<HostileCase> cases{
        {"NeitherFormat",
         [](const fs::path& s) {
             writeFile(s / "pack" / "readme.txt", "hello");
             return s / "pack";
         },
         "neither a Mechvibes pack (no config.json) nor a bucklespring folder", false},
        {"BadJson",
         [](const fs::path& s) {
             writeFile(s / "pack" / "config.json", "{\n  \"name\": \"x\",\n  \"defines\" {}\n}");
             return s / "pack";
         },
         "config.json: not valid JSON (line 3, column 14: missing name separator)", false},
        {"JsonNotAnObject",
         [](const fs::path& s) {
             writeFile(s / "pack" / "config.json", "[1, 2]");
             return s / "pack";
         },
         "config.json: not a JSON object", false},
        {"UnknownVersion",
         [](const fs::path& s) {
             writeFile(s / "pack" / "config.json", R"({"version": 3, "defines": {}})");
             return s / "pack";
         },
         "\"version\" is not 1 or 2", false},
        {"SpriteWithoutSound",
         [](const fs::path& s) {
             writeFile(s / "pack" / "config.json", R"({"defines": {"30": [0, 10]}})");
             return s / "pack";
         },
         "config.json: \"sound\" names no sprite file", false},
        {"ConfigLinkedOutside",
         [](const fs::path& s) {
             writeFile(s / "secret.json", R"({"defines": {}})");
             fs::create_directories(s / "pack");
             fs::create_symlink(s / "secret.json", s / "pack" / "config.json");
             return s / "pack";
         },
         "config.json: leads outside the pack", false},
        {"HundredMegabyteConfig",
         [](const fs::path& s) {
             fs::create_directories(s / "pack");
             const int fd = ::open((s / "pack" / "config.json").c_str(), O_CREAT | O_WRONLY, 0644);
             EXPECT_EQ(::ftruncate(fd, 100 * 1024 * 1024), 0);  // sparse: no disk used
             ::close(fd);
             return s / "pack";
         },
         "config.json: larger than 1 MB", false},
        {"HundredMegabyteConfigZipped",
         [](const fs::path& s) {
             zipEntries(s / "pack.zip", {{"config.json", hundredMegabytes()}});
             return s / "pack.zip";
         },
         "config.json: 100 MB unpacked, more than 1 MB", false},
        {"DamagedZip",
         [](const fs::path& s) {
             zipEntries(s / "pack.zip", {{"config.json", R"({"defines": {"30": "a.wav"}})" +
                                                             std::string(500, ' ')}});
             damageFirstEntry(s / "pack.zip");
             return s / "pack.zip";
         },
         "config.json: damaged in the zip", false},
        {"NotAZip",
         [](const fs::path& s) {
             writeFile(s / "pack.zip", "PK but not really a zip");
             return s / "pack.zip";
         },
         "neither a folder nor a zip file", false},
        {"NoKeyPlays",
         [](const fs::path& s) {
             writeFile(s / "pack" / "config.json", R"({"key_define_type": "multi",
                 "defines": {"30": "gone.wav"}})");
             return s / "pack";
         },
         "no key has a sound Plinka can play (gone.wav: no such file in the pack; left out of a)",
         false},
        {"TrailingCommas", [](const fs::path& s) { return multiPack(s, R"(, "31": "a.wav",)"); },
         "", true},
        {"MissingFile", [](const fs::path& s) { return multiPack(s, R"(, "31": "gone.wav")"); },
         "gone.wav: no such file in the pack; left out of s", true},
        {"FileOutsideThePack",
         [](const fs::path& s) {
             writeTone(s / "outside.wav", wavFormat(), 500, 40);
             return multiPack(s, R"(, "31": "../outside.wav", "32": "/etc/hostname")");
         },
         "../outside.wav: no such file in the pack; left out of s", true},
        {"NotAudio",
         [](const fs::path& s) {
             writeFile(s / "pack" / "notes.wav", "these are not sounds");
             return multiPack(s, R"(, "31": "notes.wav")");
         },
         "notes.wav: not audio Plinka can read", true},
        {"PastTheSpritesEnd",
         [](const fs::path& s) { return spritePack(s, R"(, "31": [5000, 40])"); },
         "sound.ogg at 5000 ms: starts at 5000 ms, past the end of the file (360 ms); left out "
         "of s",
         true},
        {"RunsPastTheSpritesEnd",
         [](const fs::path& s) { return spritePack(s, R"(, "31": [300, 200])"); },
         "sound.ogg at 300 ms: runs past the end of the file (360 ms): cut there", true},
        {"NegativeOffset", [](const fs::path& s) { return spritePack(s, R"(, "31": [-5, 40])"); },
         "key 31 (s): not a [start, length] in milliseconds of sound.ogg; left out", true},
        {"HugeOffset", [](const fs::path& s) { return spritePack(s, R"(, "31": [1e300, 1e300])"); },
         "past the end of the file (360 ms); left out of s", true},
        {"NoLength", [](const fs::path& s) { return spritePack(s, R"(, "31": [10, 0])"); },
         "key 31 (s): not a [start, length] in milliseconds of sound.ogg; left out", true},
        {"UnknownCodes",
         [](const fs::path& s) { return multiPack(s, R"(, "9999": "a.wav", "84": "a.wav")"); },
         "no key for the codes 84, 9999; left out", true},
        {"HugeRange",
         [](const fs::path& s) {
             const fs::path pack = multiPack(s, "");
             writeFile(pack / "config.json", R"({"version": 2, "sound": "k{0-100000}.wav",
                 "defines": {"30": "a.wav"}})");
             return pack;
         },
         "\"sound\": \"k{0-100000}.wav\" is not a range of 1 to 64 variants; left out", true},
        {"ZipWithPathsLeavingIt",
         [](const fs::path& s) {
             const std::string tone = fileContents(multiPack(s, "") / "a.wav");
             zipEntries(s / "pack.zip", {{"pack/config.json",
                                          R"({"key_define_type": "multi", "defines": {"30": "a.wav",
                              "31": "../../evil.wav"}})"},
                                         {"pack/a.wav", tone},
                                         {"../evil.wav", tone},
                                         {"/tmp/plinka-absolute-evil.wav", tone},
                                         {"pack/../../../up.wav", tone}});
             return s / "pack.zip";
         },
         "left out 3 entries of the zip whose names lead outside it (\"../evil.wav\", ...)", true},
        {"CompressionBomb",
         [](const fs::path& s) {
             const std::string tone = fileContents(multiPack(s, "") / "a.wav");
             zipEntries(s / "pack.zip", {{"config.json", R"({"key_define_type": "multi",
                                              "defines": {"30": "a.wav", "31": "bomb.wav"}})"},
                                         {"a.wav", tone},
                                         {"bomb.wav", hundredMegabytes()}});
             return s / "pack.zip";
         },
         "bomb.wav: 100 MB unpacked, more than 64 MB; left out of s", true},
        {"ThousandsOfFiles",
         [](const fs::path& s) {
             const fs::path pack = multiPack(s, R"(, "31": "noise/n2999.wav")");
             for (int i = 0; i < 3000; ++i) {
                 writeFile(pack / "noise" / ("n" + std::to_string(i) + ".wav"), "x");
             }
             writeTone(pack / "noise" / "n2999.wav", wavFormat(), 700, 40);
             return pack;
         },
         "", true},
        {"TooManyFiles",
         [](const fs::path& s) {
             const fs::path pack = multiPack(s, "");
             for (int i = 0; i < 10000; ++i) {
                 writeFile(pack / ("n" + std::to_string(i)), "");
             }
             return pack;
         },
         "more than 10000 files and folders, too many for a sound pack", false},
    };
    return cases;
}

// Every file under the folder, by path.
std::set<std::string> filesUnder(const fs::path& folder) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        files.insert(entry.path().string());
    }
    return files;
}

// The problem is in one of the report's warnings (none when it is empty), or in the one line of
// reason when nothing imported.
void expectReported(const std::optional<soundpack::PackReport>& report, const std::string& error,
                    const std::string& problem) {
    if (report) {
        const auto& warnings = report->warnings;
        EXPECT_TRUE(problem.empty()
                        ? warnings.empty()
                        : std::any_of(warnings.begin(), warnings.end(),
                                      [&](const std::string& warning) {
                                          return warning.find(problem) != std::string::npos;
                                      }))
            << ::testing::PrintToString(warnings);
        EXPECT_GE(report->pressKeys, 1u);
    } else {
        EXPECT_NE(error.find(problem), std::string::npos) << error;
        EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 0) << error;
    }
}

class HostilePack : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostilePack, GivesAClearMessageAndWritesNothingElse) {
    const auto& test = GetParam();
    ScratchDirectory scratch;
    const fs::path pack = test.make(scratch.path());
    ScopedEnvironment data("XDG_DATA_HOME", scratch.file("data"));
    themetool::ToolPlatform tool({PLINKA_BUNDLE_DIR});
    const auto before = filesUnder(scratch.path());

    std::string error;
    const auto report = soundpack::installSoundPack(pack, std::nullopt, {}, tool.platform(), error);
    ASSERT_EQ(report.has_value(), test.imports) << error;
    expectReported(report, error, test.problem);

    // Only the theme itself (and the folders that hold it) is new.
    auto after = filesUnder(scratch.path());
    for (const auto& file : before) {
        after.erase(file);
    }
    if (report) {
        EXPECT_EQ(after, (std::set<std::string>{scratch.file("data"), scratch.file("data/plinka"),
                                                scratch.file("data/plinka/KeySoundThemes"),
                                                scratch.file("data/plinka/KeySoundThemes/" +
                                                             report->name + ".plnk")}));
    } else {
        EXPECT_EQ(after, std::set<std::string>{});
    }
    EXPECT_FALSE(fs::exists("/tmp/plinka-absolute-evil.wav"));
}

INSTANTIATE_TEST_SUITE_P(Packs, HostilePack, ::testing::ValuesIn(hostileCases()),
                         [](const auto& test) { return test.param.name; });

// The configs that seed the fuzzer, each in a pack of the sounds they name, say in "expected"
// whether they import and what is reported.
TEST(HostileConfig, EachImportsWithItsWarningOrFailsInOneLine) {
    ScratchDirectory scratch;
    const fs::path pack = scratch.path() / "pack";
    writeCorpusPackSounds(pack);
    size_t tried = 0;
    for (const auto& entry : fs::directory_iterator(PLINKA_SOURCE_DIR "/fuzz/pack-corpus")) {
        SCOPED_TRACE(entry.path().filename().string());
        fs::copy_file(entry.path(), pack / "config.json", fs::copy_options::overwrite_existing);
        const std::string text = fileContents(entry.path());
        std::string error;
        const auto config = soundpack::parsePackConfig({text.begin(), text.end()}, error);
        ASSERT_TRUE(config) << error;
        const QJsonObject expected = config->value("expected").toObject();
        const auto report = soundpack::checkSoundPack(pack.string(), {}, error);
        ASSERT_EQ(report.has_value(), expected.value("imports").toBool()) << error;
        expectReported(report, error, expected.value("problem").toString().toStdString());
        ++tried;
    }
    EXPECT_GT(tried, 0u);
}

}  // namespace
}  // namespace plinka::testing
