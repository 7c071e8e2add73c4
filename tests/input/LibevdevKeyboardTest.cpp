// The device layer: what is no evdev node is no keyboard.
#include <gtest/gtest.h>

#include <fstream>

#include "ScratchDirectory.h"
#include "platform/linux/input/LibevdevKeyboard.h"

namespace plinka::testing {
namespace {

TEST(LibevdevKeyboard, OrdinaryFilesAreNoKeyboards) {
    ScratchDirectory root;
    const auto file = root.path() / "event0";
    std::ofstream(file) << "not a device";
    EXPECT_EQ(LibevdevKeyboard::open(file), nullptr);
    EXPECT_EQ(LibevdevKeyboard::open(root.path() / "absent"), nullptr);
}

}  // namespace
}  // namespace plinka::testing
