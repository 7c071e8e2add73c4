// Plinka end to end: the built application runs on a private X server, xdotool types and clicks,
// and the mix that SDL's disk driver writes holds every key's and button's sounds in the order
// they were made.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <memory>
#include <thread>

#include "DesktopTest.h"
#include "PlinkaSession.h"
#include "ToneTheme.h"
#include "platform/linux/input/KeyMap.h"

namespace plinka::testing {
namespace {

using namespace std::chrono_literals;

// Sounds this close together started in one mixer buffer (256 frames) or nearly so: their
// order is not in the mix.
constexpr size_t kTogether = 144;

struct Typed {
    int keyCode;
    bool down;
};

// What typing the text with xdotool presses and releases: Shift goes down before a shifted
// character and, as xdotool does it, comes up before the character's key.
std::vector<Typed> typedKeys(const std::string& text) {
    constexpr int kShift = 0x38;
    std::vector<Typed> keys;
    for (char character : text) {
        const auto key = keyForCharacter(character);
        if (key->shift) {
            keys.push_back({kShift, true});
        }
        keys.push_back({key->keyCode, true});
        if (key->shift) {
            keys.push_back({kShift, false});
        }
        keys.push_back({key->keyCode, false});
    }
    return keys;
}

// Checks that the mix holds the sounds of `expected`, in order, besides those of z.
void expectSounded(const PlinkaSession& session, const ToneTheme& theme,
                   const std::vector<Typed>& expected) {
    std::vector<Onset> heard;
    const int ready = theme.toneFor(*keyCodeForName("z"), true);
    const int readyUp = theme.toneFor(*keyCodeForName("z"), false);
    for (const Onset& onset : findOnsets(readFloats(session.audioFile()), theme.frequencies())) {
        if (onset.tone != ready && onset.tone != readyUp) {
            heard.push_back(onset);
        }
    }
    auto describe = [&](size_t from, size_t to) {
        std::string described;
        for (size_t i = from; i < to; ++i) {
            described += theme.describe(heard[i].tone) + ", ";
        }
        return described;
    };
    ASSERT_EQ(heard.size(), expected.size()) << describe(0, heard.size());
    // Walk the mix group by group of sounds that started together; each group must be the
    // next keys typed, in any order within the group.
    size_t next = 0;
    while (next < heard.size()) {
        size_t end = next + 1;
        while (end < heard.size() && heard[end].frame - heard[end - 1].frame < kTogether) {
            ++end;
        }
        std::vector<int> mixed, typed;
        for (size_t i = next; i < end; ++i) {
            mixed.push_back(heard[i].tone);
            typed.push_back(theme.toneFor(expected[i].keyCode, expected[i].down));
        }
        std::sort(mixed.begin(), mixed.end());
        std::sort(typed.begin(), typed.end());
        ASSERT_EQ(mixed, typed) << "at sound " << next << ": " << describe(next, end);
        next = end;
    }
}

using TypingTest = DesktopTest;

// Clicks made through XTEST sound beside the keys, in the order made; scrolling never sounds;
// and nothing typed is logged.
TEST_F(TypingTest, TypedWordsChordsAndClicksSoundInTheOrderMade) {
    PlinkaSession session(display());
    const ToneTheme theme(
        session.directory(), "Tones",
        {"z", "shift", "control", "option", "p", "l", "i", "n", "k", "a", "space", "t", "y", "e",
         "s", "comma", "mouse-left", "mouse-right", "mouse-middle"});
    session.useTheme(theme.file());
    // No window at launch: what is typed must reach no list of its own.
    auto plinka = session.start({"--background"});
    ASSERT_TRUE(waitUntilListening(session.audioFile(), theme)) << plinka->output();
    while (plinka->readLine(500ms)) {
    }
    const size_t logged = plinka->output().size();

    const std::string text = "Plinka types, Tap Tap lPl";
    std::vector<Typed> expected = typedKeys(text);
    xdotool({"type", "--delay", "40", text});
    // A chord: the keys go down together and come up together.
    xdotool({"key", "ctrl+alt+s"});
    for (const bool down : {true, false}) {
        for (const int key : {0x3B, 0x3A, 0x01}) {
            expected.push_back({key, down});
        }
    }
    xdotool({"click", "1", "key", "a", "click", "4", "click", "3", "click", "5", "click", "2"});
    for (const int code : {ToneTheme::kMouseButtons, *keyCodeForName("a"),
                           ToneTheme::kMouseButtons + 1, ToneTheme::kMouseButtons + 2}) {
        expected.push_back({code, true});
        expected.push_back({code, false});
    }
    std::this_thread::sleep_for(500ms);
    expectSounded(session, theme, expected);
    // Nothing typed is ever written down.
    ::kill(plinka->pid(), SIGTERM);
    EXPECT_EQ(plinka->waitForExit(), 0);
    EXPECT_EQ(plinka->output().substr(logged), "");
}

}  // namespace
}  // namespace plinka::testing
