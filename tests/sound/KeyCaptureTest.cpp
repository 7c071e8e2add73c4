#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>

#include "app/AppController.h"
#include "doubles/FakeDesktop.h"
#include "doubles/FakePlatform.h"
#include "sound/AudioKeepAlive.h"
#include "sound/KeyHandOff.h"
#include "sound/Sound.h"
#include "sound/SoundController.h"
#include "sound/SoundTheme.h"
#include "support/FileUrl.h"

namespace plinka {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kShift = 56, kRightShift = 60, kControl = 59, kCapsLock = 57;

CGEvent key(CGEventType type, int64_t keyCode, int64_t autorepeat = 0) {
    return CGEvent{type, keyCode, autorepeat, 0};
}
CGEvent flagsChanged(int64_t keyCode, CGEventFlags flags) {
    return CGEvent{kCGEventFlagsChanged, keyCode, 0, flags};
}

// A controller whose theme plays, for every key code and state, a sound named after both, so
// what was played tells which key events reached the theme.
class KeyCaptureTest : public ::testing::Test {
  protected:
    KeyCaptureTest() {
        Object::Array rows;
        for (int state = 0; state < 2; ++state) {
            Object::Array slots;
            for (int code = 0; code < SoundTheme::kSlotCount; ++code) {
                slots.push_back(Object::instance(Sound::initWithContentsOfURL(
                    "file:///" + std::string(state ? "down" : "up") + "/" + std::to_string(code),
                    fake.platform)));
            }
            rows.push_back(Object::array(std::move(slots)));
        }
        theme = SoundTheme::themeWithSounds(Object::array(std::move(rows)), "Keys", fake.platform);
        fake.bundle.addResource("KeySoundThemes", "Keys", "plnk", "/b/Keys.plnk");
        fake.archives.files["/b/Keys.plnk"] = [this](const ClassTable&) {
            return Object::instance(theme);
        };
        sounds.setThemeByName("Keys");
        fake.systemSounds.played.clear();
    }
    ~KeyCaptureTest() override { controller.stopEventTapThread(); }

    // What the theme played, as "down 12" / "up 12", after the main thread ran its queue.
    std::vector<std::string> played() {
        fake.runLoop.runPending();
        std::vector<std::string> result;
        for (SystemSoundID id : fake.systemSounds.played) {
            const std::string path = *FileUrl::pathOfFileURL(fake.systemSounds.urlOf(id));
            result.push_back(path.substr(1, path.rfind('/') - 1) + " " +
                             path.substr(path.rfind('/') + 1));
        }
        fake.systemSounds.played.clear();
        return result;
    }
    // Delivers events as the tap would, on this thread.
    void deliver(std::initializer_list<CGEvent> events) {
        for (const CGEvent& event : events) {
            EXPECT_EQ(eventTapCallback(nullptr, event.type, &event, &controller), &event);
        }
    }

    testing::FakePlatform fake;
    testing::FakeDesktop desktop{fake.platform};
    AudioKeepAlive keepAlive{fake.platform};
    SoundController sounds{fake.platform, keepAlive};
    std::shared_ptr<SoundTheme> theme;
    AppController controller{fake.platform, desktop.services, sounds};
};

TEST_F(KeyCaptureTest, HeldKeySoundsOnceDownAndOnceUp) {
    deliver({key(kCGEventKeyDown, 0), key(kCGEventKeyDown, 0, 1), key(kCGEventKeyDown, 0, 1),
             key(kCGEventKeyUp, 0), key(kCGEventKeyDown, 49), key(kCGEventKeyUp, 49)});
    EXPECT_THAT(played(), ElementsAre("down 0", "up 0", "down 49", "up 49"));
}

TEST_F(KeyCaptureTest, BothShiftsSoundOnlyWhenTheShiftBitChanges) {
    const CGEventFlags left = kCGEventFlagMaskShift | kDeviceLeftShift;
    const CGEventFlags right = kCGEventFlagMaskShift | kDeviceRightShift;
    deliver({flagsChanged(kShift, left), flagsChanged(kRightShift, left | right),
             flagsChanged(kShift, right), flagsChanged(kRightShift, 0)});
    EXPECT_THAT(played(), ElementsAre("down 56", "up 60"));
    deliver({flagsChanged(kShift, left), flagsChanged(kRightShift, left | right),
             flagsChanged(kRightShift, left), flagsChanged(kShift, 0)});
    EXPECT_THAT(played(), ElementsAre("down 56", "up 56"));
}

TEST_F(KeyCaptureTest, OneFlagsEventSendsAtMostOneDownThenOneUp) {
    deliver({flagsChanged(kControl, kCGEventFlagMaskShift | kCGEventFlagMaskControl)});
    EXPECT_THAT(played(), ElementsAre("down 59"));
    deliver({flagsChanged(kControl, kCGEventFlagMaskCommand)});  // two off, one on
    EXPECT_THAT(played(), ElementsAre("down 59", "up 59"));
}

TEST_F(KeyCaptureTest, UnmaskedBitsAndAModifierHeldBeforeTheTapAreSilent) {
    deliver({flagsChanged(kShift, 0)});  // released, but its press came before the tap
    deliver({flagsChanged(71, kCGEventFlagMaskNumericPad | kCGEventFlagMaskHelp |
                                  kCGEventFlagMaskNonCoalesced | kDeviceLeftShift | 0x2000)});
    deliver({flagsChanged(71, 0)});
    EXPECT_THAT(played(), IsEmpty());
}

TEST_F(KeyCaptureTest, CapsLockSoundsDownAtOnePressAndUpAtTheNext) {
    deliver({flagsChanged(kCapsLock, kCGEventFlagMaskAlphaShift)});
    EXPECT_THAT(played(), ElementsAre("down 57"));
    deliver({flagsChanged(kCapsLock, 0)});
    EXPECT_THAT(played(), ElementsAre("up 57"));
}

TEST_F(KeyCaptureTest, KeyCodesPassUnchangedCutTo32Bits) {
    deliver({key(kCGEventKeyDown, (int64_t{1} << 32) + 5), key(kCGEventKeyDown, 300)});
    EXPECT_THAT(played(), ElementsAre("down 5"));
    EXPECT_THAT(fake.log.lines(), ElementsAre("Play Sound for Key Code 300 out of bounds"));
}

TEST_F(KeyCaptureTest, TapThreadMakesAListenOnlyTapAndEventsKeepTheirOrder) {
    controller.detachEventTapThread();
    auto tap = desktop.eventTaps.waitForTap();
    ASSERT_TRUE(tap);
    const auto& request = desktop.eventTaps.requests.at(0);
    EXPECT_EQ(request.location, 0u);
    EXPECT_EQ(request.placement, 0u);
    EXPECT_EQ(request.options, 1u);
    EXPECT_EQ(request.eventsOfInterest, 0x1C00u);
    EXPECT_EQ(request.userInfo, &controller);
    std::vector<std::string> expected;
    for (int i = 0; i < 2000; ++i) {
        const int code = i % 50;
        tap->post(key(i % 2 ? kCGEventKeyUp : kCGEventKeyDown, code));
        expected.push_back(std::string(i % 2 ? "up " : "down ") + std::to_string(code));
        if (i % 500 == 499) {
            tap->waitUntilDelivered();
            fake.runLoop.runPending();  // the main thread keeps up in bursts
        }
    }
    tap->waitUntilDelivered();
    EXPECT_TRUE(tap->isEnabled());
    EXPECT_NE(tap->runLoopThread(), std::this_thread::get_id());
    EXPECT_EQ(played(), expected);
}

TEST_F(KeyCaptureTest, TimeoutNoticeIsLoggedAndReenablesWhileUserInputNoticeIsIgnored) {
    controller.detachEventTapThread();
    auto tap = desktop.eventTaps.waitForTap();
    tap->post(CGEvent{kCGEventTapDisabledByTimeout, 0, 0, 0});
    tap->post(key(kCGEventKeyDown, 3));
    tap->post(CGEvent{kCGEventTapDisabledByUserInput, 0, 0, 0});
    tap->waitUntilDelivered();
    EXPECT_EQ(tap->enableCount(), 2);
    EXPECT_THAT(fake.log.lines(), ElementsAre("Disabled by timeout"));
    EXPECT_THAT(played(), ElementsAre("down 3"));
}

TEST_F(KeyCaptureTest, MainThreadFarBehindDropsAndCountsButKeepsOrder) {
    for (size_t i = 0; i < KeyHandOff::kCapacity + 10; ++i) {
        deliver({key(kCGEventKeyDown, static_cast<int64_t>(i % 3))});
    }
    const auto all = played();
    ASSERT_EQ(all.size(), KeyHandOff::kCapacity);
    EXPECT_EQ(all[4], "down 1");
    EXPECT_THAT(fake.log.lines(),
                ElementsAre("10 key events were dropped: the main thread fell behind"));
}

// Catches what is written to standard error while it lives.
class StandardErrorCapture {
  public:
    StandardErrorCapture() : file_(std::tmpfile()), saved_(::dup(STDERR_FILENO)) {
        std::fflush(stderr);
        ::dup2(::fileno(file_), STDERR_FILENO);
    }
    ~StandardErrorCapture() {
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        std::fclose(file_);
    }
    StandardErrorCapture(const StandardErrorCapture&) = delete;
    StandardErrorCapture& operator=(const StandardErrorCapture&) = delete;
    std::string text() const {
        std::fflush(stderr);
        std::rewind(file_);
        std::string result;
        for (int c; (c = std::fgetc(file_)) != EOF;) {
            result += static_cast<char>(c);
        }
        return result;
    }

  private:
    std::FILE* file_;
    int saved_;
};

TEST_F(KeyCaptureTest, NoCaptureWritesTheLineThenBeepsAlertsAndTerminates) {
    desktop.eventTaps.permitted = false;
    StandardErrorCapture standardError;
    controller.detachEventTapThread();
    controller.stopEventTapThread();  // the thread ends by itself once it has queued the exit
    EXPECT_EQ(standardError.text(), "Failed to create event tap\n");
    EXPECT_THAT(desktop.journal.entries(), IsEmpty());  // the alert waits for the main thread
    fake.runLoop.runPending();
    EXPECT_THAT(desktop.journal.entries(), ElementsAre("beep", "alert: Plinka Error", "terminate"));
    const Alert& alert = desktop.alerts.shown.at(0);
    EXPECT_EQ(alert.defaultButton, "Quit");
    EXPECT_EQ(alert.alternateButton, "");
    EXPECT_EQ(alert.otherButton, std::nullopt);
    EXPECT_EQ(alert.style, AlertStyle::Critical);
    EXPECT_EQ(alert.informativeText, "Failed to create event tap.  Contact support for help.");
}

TEST_F(KeyCaptureTest, QuitMessageIsShownAsTextNeverAsAFormat) {
    controller._quitWithError("100% %@ %d");
    EXPECT_EQ(desktop.alerts.shown.at(0).informativeText, "100% %@ %d");
}

}  // namespace
}  // namespace plinka
