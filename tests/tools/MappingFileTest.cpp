#include "tools/theme/MappingFile.h"

#include <gtest/gtest.h>

#include "platform/linux/input/KeyMap.h"
#include "tools/theme/KeyNames.h"

namespace plinka::themetool {
namespace {

Mapping parsed(std::string_view text) {
    std::string error;
    auto mapping = parseMapping(text, "theme.map", error);
    EXPECT_TRUE(mapping) << error;
    return mapping.value_or(Mapping{});
}

TEST(MappingFile, ReadsNamesStatesKeysAndValues) {
    const auto mapping = parsed(
        "# a comment\n"
        "name = My  Theme\n"
        "\n"
        "key-down a space 0x7E 12 = click.wav\n"
        "key-up letters = up-1.wav \"up 2.wav\"\n"
        "key-down 1 = say \"one \\\"1\\\"\"\n"
        "  key-down sample = silent\n");
    EXPECT_EQ(mapping.name, "My Theme");
    ASSERT_EQ(mapping.assignments.size(), 4u);

    const auto& click = mapping.assignments[0];
    EXPECT_EQ(click.state, 1);
    EXPECT_EQ(click.line, 4);
    EXPECT_EQ(click.keyCodes, (std::vector<int>{0x00, 0x31, 0x7E, 12}));
    EXPECT_EQ(click.value.kind, SlotValue::Kind::Files);
    EXPECT_EQ(click.value.files, std::vector<std::string>{"click.wav"});

    const auto& up = mapping.assignments[1];
    EXPECT_EQ(up.state, 0);
    EXPECT_EQ(up.keyCodes.size(), 26u);
    EXPECT_EQ(up.value.files, (std::vector<std::string>{"up-1.wav", "up 2.wav"}));

    EXPECT_EQ(mapping.assignments[2].value.kind, SlotValue::Kind::Say);
    EXPECT_EQ(mapping.assignments[2].value.text, "one \"1\"");
    EXPECT_EQ(mapping.assignments[3].keyCodes, std::vector<int>{254});
    EXPECT_EQ(mapping.assignments[3].value.kind, SlotValue::Kind::Silent);
}

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
