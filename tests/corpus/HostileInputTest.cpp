// Every hostile input of the corpus (tests/corpus, and the large ones MakeLargeInputs writes into
// the build tree) through the real code that reads its kind: refused, or imported with
// warnings, for the reasons its kind's list gives, without a crash and in bounded memory. Each
// runs in a process of its own.
#include <sys/resource.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "ScopedEnvironment.h"
#include "ScratchDirectory.h"
#include "TestFiles.h"
#include "doubles/FakePlatform.h"
#include "platform/linux/audio/SoundFileDecoder.h"
#include "platform/linux/plist/PlistKeyedArchives.h"
#include "platform/linux/plist/PropertyList.h"
#include "sound/ThemeClasses.h"
#include "tools/soundpack/SoundPackImport.h"
#include "tools/theme/ArchiveDump.h"
#include "tools/theme/ToolPlatform.h"

namespace plinka::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// One file (or pack folder) of a kind, and the lines of its kind's list that name it.
struct Input {
    std::string kind;
    std::string name;
    std::vector<std::string> rules;
};

void PrintTo(const Input& input, std::ostream* out) {
    *out << input.kind << "/" << input.name;
}

std::vector<Input> corpus() {
    std::vector<Input> inputs;
    for (const std::string kind : {"theme", "sound", "pack"}) {
        std::ifstream list(std::string(PLINKA_CORPUS_DIR) + "/" + kind + ".txt");
        for (std::string line; std::getline(list, line);) {
            const size_t colon = line.find(": ");
            if (line.empty() || line[0] == '#' || colon == std::string::npos) {
                continue;
            }
            const std::string name = line.substr(0, colon);
            if (inputs.empty() || inputs.back().kind != kind || inputs.back().name != name) {
                inputs.push_back({kind, name, {}});
            }
            inputs.back().rules.push_back(line.substr(colon + 2));
        }
    }
    return inputs;
}

// Splits "a b: rest" into its words before the first ": " and the rest.
std::pair<std::set<std::string>, std::string> split(const std::string& rule) {
    const size_t colon = rule.find(": ");
    std::istringstream words(rule.substr(0, colon));
    std::set<std::string> head{std::istream_iterator<std::string>(words), {}};
    return {head, colon == std::string::npos ? "" : rule.substr(colon + 2)};
}

// Whether the layer's refusal is what the rule says: refused with the reason, or read.
void expectLayer(const char* layer, bool refused, const std::string& error,
                 const std::set<std::string>& refusing, const std::string& reason) {
    EXPECT_EQ(refused, refusing.contains(layer)) << layer << ": " << error;
    if (refused) {
        EXPECT_THAT(error, HasSubstr(reason)) << layer;
    }
}

void checkTheme(const fs::path& file, const std::string& rule) {
    const auto [refusing, reason] = split(rule);
    const std::string text = fileContents(file);
    const std::vector<uint8_t> bytes(text.begin(), text.end());
    std::string error;
    expectLayer("plist", !readPropertyListData(bytes, &error), error, refusing, reason);
    ScratchDirectory sounds;
    FakePlatform fake;
    fake.temporaryFiles.directory = sounds.path().string();
    const Object root =
        PlistKeyedArchives().unarchiveObjectWithData(bytes, themeClasses(fake.platform), &error);
    expectLayer("archive", root.isNil(), error, refusing, reason);
    expectLayer("dump", !archiveToJson(bytes, &error), error, refusing, reason);
}

void checkSound(const fs::path& file, const std::string& rule) {
    const OSStatus status = audio::decodeSoundFile(file.string(), 48000).status;
    EXPECT_EQ(systemSoundStatusDescription(status), rule);
}

std::set<std::string> filesUnder(const fs::path& folder) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        files.insert(entry.path().string());
    }
    return files;
}

// Nothing is written but the theme, and nothing at all when the pack is refused.
void checkPack(const fs::path& pack, const std::vector<std::string>& rules) {
    ScratchDirectory scratch;
    const ScopedEnvironment data("XDG_DATA_HOME", scratch.file("data"));
    themetool::ToolPlatform tool({PLINKA_BUNDLE_DIR});
    const fs::path around = pack.parent_path();
    const auto before = filesUnder(around);

    std::string error;
    const auto report = soundpack::installSoundPack(pack, std::nullopt, {}, tool.platform(), error);
    const auto [verdict, first] = split(rules[0]);
    ASSERT_EQ(report.has_value(), verdict.contains("imports")) << error;
    if (!report) {
        EXPECT_THAT(error, HasSubstr(first));
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_FALSE(fs::exists(scratch.file("data")));
    } else {
        std::vector<::testing::Matcher<std::string>> expected;
        for (const std::string& rule : rules) {
            if (const std::string warning = split(rule).second; !warning.empty()) {
                expected.push_back(HasSubstr(warning));
            }
        }
        EXPECT_THAT(report->warnings, ::testing::UnorderedElementsAreArray(expected));
        EXPECT_EQ(filesUnder(scratch.path()),
                  (std::set<std::string>{
                      scratch.file("data"), scratch.file("data/plinka"),
                      scratch.file("data/plinka/KeySoundThemes"),
                      scratch.file("data/plinka/KeySoundThemes/" + report->name + ".plnk")}));
    }
    EXPECT_EQ(filesUnder(around), before);
    EXPECT_FALSE(fs::exists("/tmp/plinka-absolute-evil.wav"));
}

// What refusing one input may cost at its peak. AddressSanitizer's shadow, redzones and
// quarantine of freed memory add a few hundred megabytes to the same work.
#if defined(__SANITIZE_ADDRESS__)
constexpr long kPeakKilobytes = 1024 * 1024;
#else
constexpr long kPeakKilobytes = 400 * 1024;
#endif

class HostileInput : public ::testing::TestWithParam<Input> {};

TEST_P(HostileInput, IsRefusedForItsReasonInBoundedMemory) {
    const Input& input = GetParam();
    fs::path file = fs::path(PLINKA_CORPUS_DIR) / input.kind / input.name;
    if (!fs::exists(fs::symlink_status(file))) {
        file = fs::path(PLINKA_LARGE_CORPUS_DIR) / input.kind / input.name;
    }
    ASSERT_TRUE(fs::exists(file)) << file;
    if (input.kind == "theme") {
        checkTheme(file, input.rules.at(0));
    } else if (input.kind == "sound") {
        checkSound(file, input.rules.at(0));
    } else {
        checkPack(file, input.rules);
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss, kPeakKilobytes) << "peak kB";
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostileInput, ::testing::ValuesIn(corpus()), [](const auto& test) {
    std::string name = test.param.kind + "_" + test.param.name;
    for (char& c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
});

}  // namespace
}  // namespace plinka::testing
