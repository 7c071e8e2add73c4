// The feedback prompt in the real application: a week after this version was first used it
// shows at launch, and its default button hands the mail to the desktop's URL opener. A
// screenshot of the prompt is kept in the build tree (artifacts/feedback-prompt.png).
#include <gtest/gtest.h>

#include <filesystem>

#include "DesktopTest.h"
#include "PlinkaSession.h"
#include "TestFiles.h"
#include "platform/linux/plist/PropertyList.h"
#include "platform/linux/system/SystemClock.h"

namespace plinka::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPromptTitle = "Tell Us What You Think of Plinka";

Object valueInFile(const std::string& plist, const char* key) {
    return readPropertyListFile(plist, nullptr).value_or(Object()).objectForKey(key);
}

class FeedbackPromptTest : public DesktopTest {};

TEST_F(FeedbackPromptTest, AfterAWeekThePromptSendsTheMailThroughTheUrlOpener) {
    PlinkaSession session(display());
    // Qt hands URLs to xdg-open when the desktop is none it knows; this one notes its argument.
    const std::string opened = session.directory() + "/opened-url";
    session.addProgram("xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + opened +
                                       ".part' && mv '" + opened + ".part' '" + opened + "'\n");
    const std::string info = session.bundle() + "/Contents/Info.plist";
    const std::string version = *valueInFile(info, "CFBundleVersion").stringValue();
    const std::string shortVersion = *valueInFile(info, "CFBundleShortVersionString").stringValue();
    const double eightDaysAgo = SystemClock().timeIntervalSinceReferenceDate() - 8 * 86400.0;
    session.writeDefaults({{Object::string("FeedbackLastVersionUsed"), Object::string(version)},
                           {Object::string("FeedbackFirstUsed"), Object::date(eightDaysAgo)},
                           {Object::string("FeedbackPrompted"), Object::boolean(false)}});

    auto plinka = session.start();
    ASSERT_TRUE(eventually([&] { return windowsNamed(kPromptTitle).size() == 1; }))
        << plinka->output();
    screenshot("feedback-prompt");
    xdotool({"windowfocus", "--sync", windowsNamed(kPromptTitle).front()});
    xdotool({"key", "Return"});

    ASSERT_TRUE(eventually([&] { return fs::exists(opened); })) << plinka->output();
    EXPECT_TRUE(fileContents(opened).starts_with(
        "mailto:plinka@plinka.org?subject=Feedback%20for%20Plinka%20" + shortVersion + "%20%28" +
        version + "%29%20on%20"))
        << fileContents(opened);
    EXPECT_TRUE(eventually([&] {
        return valueInFile(session.defaultsFile(), "FeedbackPrompted") == Object::boolean(true);
    }));
    EXPECT_TRUE(windowsNamed(kPromptTitle).empty());
}

}  // namespace
}  // namespace plinka::testing
