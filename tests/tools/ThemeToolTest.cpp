#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "ScratchDirectory.h"
#include "Signal.h"
#include "UrlTheme.h"
#include "doubles/FakeKeyedArchives.h"
#include "sound/Sound.h"
#include "sound/SoundTheme.h"
#include "tools/SoundPackMaker.h"
#include "tools/ThemeSlots.h"
#include "tools/synth/WavFile.h"
#include "tools/theme/Preview.h"
#include "tools/theme/ThemeBuilder.h"
#include "tools/theme/ThemeFiles.h"
#include "tools/theme/ThemeTable.h"
#include "tools/theme/ToolPlatform.h"
#include "tools/theme/TypingSchedule.h"

namespace plinka::themetool {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::key;
using testing::slot;

const std::string kBundle = PLINKA_BUNDLE_DIR;
const std::string kThemes = kBundle + "/Contents/Resources/KeySoundThemes/";

// This process's scratch directory: ctest runs the tests of this file side by side.
const fs::path& scratch() {
    static const testing::ScratchDirectory directory;
    return directory.path();
}

fs::path freshDirectory(const std::string& name) {
    const fs::path directory = scratch() / name;
    fs::remove_all(directory);
    fs::create_directories(directory);
    return directory;
}

// The table a map file (data/theme.map) builds, as inspect describes it (data/theme.table):
// groups of keys sharing variants, speech, silence, the sample and the mouse buttons, each file
// one embedded Sound wherever it appears.
TEST(ThemeBuild, WhatIsBuiltDecodesToTheTableTheMapDescribes) {
    const auto directory = freshDirectory("build");
    testing::writeTone(directory / "a.wav", testing::wavFormat(), 800, 40);
    testing::writeTone(directory / "b.wav", testing::wavFormat(), 1200, 40);
    fs::copy_file(PLINKA_SOURCE_DIR "/tests/tools/data/theme.map", directory / "theme.map");
    ToolPlatform tool({});
    std::string error;
    const auto bytes =
        buildThemeFromDirectory(directory.string(), "Fallback", tool.platform(), error);
    ASSERT_TRUE(bytes) << error;
    const auto file = directory / "Test.plnk";
    testing::writeFile(file, *bytes);
    const auto theme = loadThemeFile(file.string(), tool.platform(), error);
    ASSERT_TRUE(theme) << error;

    EXPECT_EQ(describeTheme(*theme, [](const Sound&) { return std::nullopt; }),
              testing::fileContents(PLINKA_SOURCE_DIR "/tests/tools/data/theme.table"));

    const auto* sound = slot(*theme, 1, SoundTheme::kSampleKeyCode).as<Sound>();
    ASSERT_TRUE(sound);
    EXPECT_TRUE(sound->transient());
    testing::RecordingEncoder embedded;
    sound->encodeWithCoder(embedded);
    const std::string original = testing::fileContents(directory / "a.wav");
    EXPECT_EQ(embedded["data"], Object::data(Object::Bytes(original.begin(), original.end())));
}

// One tone on every key, heard as a user hears it: a key left of the middle louder on the left
// and one right of it on the right, at the same power as a centred one. How much the pitch
// varies is asked for in tests/sound (Placement) and heard in the mixer's tests.
TEST(Preview, PlacesEachKeyInStereoUnlessTheThemeSaysNo) {
    const std::string text = "q]q]q]q]";  // q left of the middle, ] right of it
    const auto events = typingSchedule(text, 2);
    ToolPlatform tool({kBundle});
    double centredPower = 0;
    for (const bool panned : {false, true}) {
        SCOPED_TRACE(panned);
        const auto directory = freshDirectory("placed");
        testing::writeTone(directory / "tone.wav", testing::wavFormat(), 1000, 60, 48000, 1);
        testing::writeFile(directory / "theme.map", std::string("key-down all = tone.wav\n") +
                                                        (panned ? "" : "stereo = no\n"));
        std::string error;
        const auto bytes = buildThemeFromDirectory(directory, "Placed", tool.platform(), error);
        ASSERT_TRUE(bytes) << error;
        testing::writeFile(directory / "Placed.plnk", *bytes);
        const auto audio = renderPreview(tool, directory / "Placed.plnk", text, 2, error);
        ASSERT_TRUE(audio) << error;
        for (const auto& event : events) {
            if (event.state == 0) {
                continue;
            }
            const auto from = static_cast<size_t>((event.time + 0.002) * audio->sampleRate);
            double left = 0;
            double right = 0;
            for (size_t frame = from; frame < from + audio->sampleRate / 25; ++frame) {
                left += audio->samples[2 * frame] * audio->samples[2 * frame];
                right += audio->samples[2 * frame + 1] * audio->samples[2 * frame + 1];
            }
            if (!panned) {
                EXPECT_NEAR(left / right, 1.0, 0.01);
                centredPower = left + right;
            } else {
                EXPECT_GT(event.keyCode == key("q") ? left / right : right / left, 2.0)
                    << event.time;
                EXPECT_NEAR((left + right) / centredPower, 1.0, 0.03) << event.time;
            }
        }
    }
}

// Runs plinka-theme; its exit status, standard output and standard error.
struct Run {
    int status;
    std::string out;
    std::string err;
};

// The user's data folder the tool runs with: empty unless a test installs into it.
fs::path dataHome() {
    return scratch() / "run/data";
}

Run runTool(const std::string& arguments) {
    const auto out = freshDirectory("run/output") / "out", err = out.parent_path() / "err";
    const std::string command = "XDG_DATA_HOME=" + dataHome().string() + " " +
                                std::string(PLINKA_BINARY_DIR "/tools/plinka-theme --bundle ") +
                                kBundle + " " + arguments + " >" + out.string() + " 2>" +
                                err.string();
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, testing::fileContents(out),
            testing::fileContents(err)};
}

// Each shipped theme has its sample and is heard in a preview typed through the sound
// controller; dump reads a real theme.
TEST(PlinkaTheme, CommandsWorkOnTheShippedThemes) {
    for (const std::string name : {"Bubbles", "Mechanical", "Speaking", "Typewriter"}) {
        SCOPED_TRACE(name);
        const auto inspect = runTool("inspect " + name);
        EXPECT_EQ(inspect.status, 0) << inspect.err;
        EXPECT_THAT(inspect.out, HasSubstr("key-down  sample            254  sound "));
        const auto wav = freshDirectory("preview") / "preview.wav";
        const auto preview =
            runTool("preview " + kThemes + name + ".plnk \"Hi there\" -o " + wav.string());
        EXPECT_EQ(preview.status, 0) << preview.err;
        synth::Audio audio;
        std::string error;
        ASSERT_TRUE(synth::readAudio(wav.string(), audio, error)) << error;
        EXPECT_GT(audio.frames(), 48000u * 8 / 10);
        EXPECT_GT(testing::peakOf(audio.samples), 0.05);
    }
    const auto dump = runTool("dump " + kThemes + "Mechanical.plnk");
    EXPECT_EQ(dump.status, 0) << dump.err;
    EXPECT_TRUE(dump.out.starts_with("{\"$class\":\"SoundTheme\"")) << dump.out.substr(0, 80);
}

TEST(PlinkaTheme, ChecksImportsAndInstallsSoundPacks) {
    const auto directory = freshDirectory("packs");
    const auto pack = directory / "Buckle";
    testing::writeTone(pack / "1e-1.wav", testing::wavFormat(), 800, 40);
    testing::writeTone(pack / "1e-0.wav", testing::wavFormat(), 1200, 40);
    testing::writeTone(pack / "f0-1.wav", testing::wavFormat(), 1000, 40);
    fs::remove_all(dataHome());

    const auto check = runTool("check " + pack.string());
    EXPECT_EQ(check.status, 0) << check.err;
    EXPECT_NE(check.out.find("keys: 1 pressed, 1 released"), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("warning: no key for f0-1.wav; left out\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(dataHome())) << "a check writes nothing";

    const auto file = directory / "Clicks.plnk";
    // A link planted where a temporary file of the output could go leads nowhere.
    fs::create_symlink(directory / "planted", directory / "Clicks.plnk.part");
    EXPECT_EQ(runTool("import " + pack.string() + " -o " + file.string()).status, 0);
    EXPECT_FALSE(fs::exists(directory / "planted"));
    EXPECT_THAT(runTool("inspect " + file.string()).out, HasSubstr("name: Clicks\n"));

    testing::writeFile(dataHome(), "a file where the folder would go");
    EXPECT_TRUE(runTool("import " + pack.string() + " --install")
                    .err.starts_with("plinka-theme: " + dataHome().string() +
                                     "/plinka/KeySoundThemes: the folder for your themes can't "
                                     "be made (Not a directory)"));
    fs::remove(dataHome());
    const auto installed = runTool("import " + pack.string() + " --install --name \"My Clicks\"");
    EXPECT_EQ(installed.status, 0) << installed.err;
    EXPECT_EQ(runTool("list").out, "Off\nBubbles\nMechanical\nSpeaking\nTypewriter\nMy Clicks\n");
    // Names that are the bundle's own, no file name or that turn the writing direction are refused,
    // and nothing changes.
    for (const std::string name : {"Typewriter", "a/b", "Clicks\u202Eeulb"}) {
        const auto run = runTool("import " + pack.string() + " --install --name " + name);
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    EXPECT_EQ(runTool("list").out, "Off\nBubbles\nMechanical\nSpeaking\nTypewriter\nMy Clicks\n");
}

// Each mistake is one line on standard error that names what was wrong, and a failing status:
// what is not a regular file is named for what it is, a file too large is refused before it is
// read, and a theme whose sound can't be made says so and fails.
TEST(PlinkaTheme, BadInputGivesOneLineAndAFailingStatus) {
    const auto directory = freshDirectory("bad-input");
    testing::writeFile(directory / "text.plnk", "just text");
    ToolPlatform tool({});
    const auto notTheme =
        tool.platform().archives.archivedDataWithRootObject(Object::array({Object::string("x")}));
    ASSERT_TRUE(notTheme);
    testing::writeFile(directory / "array.plnk", *notTheme);
    const std::string d = directory.string() + "/";
    const std::string pipe = d + "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    testing::writeFile(d + "huge.plnk", "");
    fs::resize_file(d + "huge.plnk", 100 << 20);
    testing::writeUrlTheme(d + "Piped.plnk", "Piped", pipe);
    const std::pair<std::string, std::string> cases[] = {
        {"inspect " + d + "missing.plnk", "missing.plnk: no such file"},
        {"inspect Nonexistent", "no theme named \"Nonexistent\""},
        {"inspect " + d + "array.plnk", "not a theme (its root object is NSArray)"},
        {"inspect " + d + "text.plnk", "text.plnk: not a keyed archive"},
        {"dump " + d + "text.plnk", "text.plnk: not a keyed archive"},
        {"dump " + pipe, pipe + ": not a regular file"},
        {"inspect " + pipe, pipe + ": not a regular file"},
        {"dump " + directory.string(), directory.string() + ": not a regular file"},
        {"dump " + d + "huge.plnk", "huge.plnk: larger than"},
        {"build " + d + "nowhere -o " + d + "x.plnk", "nowhere: no such folder"},
        {"frobnicate", "unknown command \"frobnicate\""},
        {"inspect", "usage: inspect"},
        {"preview Typewriter", "usage: preview"},
        {"build " + d + " -o", "-o needs a value"},
        {"import " + d, "usage: import"},
        {"check " + d + "nothing", "nothing: no such folder or zip file"},
    };
    for (const auto& [arguments, message] : cases) {
        const auto run = runTool(arguments);
        EXPECT_NE(run.status, 0) << arguments;
        EXPECT_TRUE(run.err.starts_with("plinka-theme: ")) << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(run.out, "") << arguments;
    }
    const auto piped = runTool("inspect " + d + "Piped.plnk");
    EXPECT_EQ(piped.status, 1);
    EXPECT_NE(piped.err.find(pipe + ": not a regular file"), std::string::npos) << piped.err;
    EXPECT_NE(piped.err.find("1 of its sounds could not be loaded"), std::string::npos);
}

}  // namespace
}  // namespace plinka::themetool
