// Sound-pack configs that seed the fuzzer (fuzz/pack-corpus), each in a pack of the sounds they
// name: each imports with the warning it says in its "expected", or fails in one line.
#include <gtest/gtest.h>

#include <QJsonObject>
#include <algorithm>
#include <filesystem>

#include "ScratchDirectory.h"
#include "TestFiles.h"
#include "tools/CorpusPack.h"
#include "tools/soundpack/PackConfig.h"
#include "tools/soundpack/SoundPackImport.h"

namespace plinka::testing {
namespace {

namespace fs = std::filesystem;

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
