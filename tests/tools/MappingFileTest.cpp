#include "tools/theme/MappingFile.h"

#include <gtest/gtest.h>

#include "platform/linux/input/KeyMap.h"
#include "tools/theme/KeyNames.h"

namespace plinka::themetool {
namespace {

TEST(MappingFile, ErrorsNameTheLineAndTheProblem) {
    const std::pair<std::string, std::string> cases[] = {
        {"name = A\nkey-down nokey = a.wav\n", ":2: unknown key \"nokey\""},
        {"key-sideways a = a.wav", ":1: expected \"name =\", \"key-down\" or \"key-up\""},
        {"key-down a a.wav", ":1: missing \"=\" after the keys"},
        {"key-down = a.wav", ":1: no keys before \"=\""},
        {"\n\nkey-up a =", ":3: nothing after \"=\""},
        {"key-up a = say", ":1: \"say\" takes one text"},
        {"key-up a = silent a.wav", ":1: \"silent\" takes nothing after it"},
        {"key-up a = \"a.wav", ":1: unclosed double quote"},
        {"name A", ":1: expected name = NAME"},
        {"key-down 255 = a.wav", ":1: unknown key \"255\""},
    };
    for (const auto& [text, expected] : cases) {
        std::string error;
        EXPECT_FALSE(parseMapping(text, "theme.map", error)) << text;
        EXPECT_TRUE(error.starts_with("theme.map" + expected)) << error;
    }
}

}  // namespace
}  // namespace plinka::themetool
