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

std::string errorOf(std::string_view text) {
    std::string error;
    EXPECT_FALSE(parseMapping(text, "theme.map", error)) << text;
    return error;
}

TEST(MappingFile, ReadsNamesStatesKeysAndValues) {
    const auto mapping = parsed(
        "# a comment\n"
        "name = My  Theme\n"
        "\n"
        "key-down a space 0x7E 12 = click.wav\n"
        "key-up letters = up-1.wav \"up 2.wav\"\n"
        "key-down 1 = say \"one \\\"1\\\"\"\n"
        "  key-down sample = silent\n"
        "pitch = 40\n"
        "stereo = no\n");
    EXPECT_EQ(mapping.name, "My Theme");
    EXPECT_EQ(mapping.pitchCents, 40);
    EXPECT_EQ(mapping.stereoPosition, false);
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

TEST(MappingFile, GroupsCoverTheirKeys) {
    EXPECT_EQ(keyCodesForWord("digits")->size(), 10u);
    EXPECT_EQ(keyCodesForWord("function-keys")->size(), 20u);
    EXPECT_EQ(keyCodesForWord("all")->size(), keyMapEntries().size());
    const auto modifiers = *keyCodesForWord("modifiers");
    EXPECT_NE(std::find(modifiers.begin(), modifiers.end(), 0x38), modifiers.end());
    EXPECT_EQ(keyLabel(254), "sample");
    EXPECT_EQ(keyLabel(0x31), "space");
    EXPECT_EQ(keyLabel(0x34), "52");
}

TEST(MappingFile, ErrorsNameTheLineAndTheProblem) {
    EXPECT_EQ(errorOf("name = A\nkey-down nokey = a.wav\n"), "theme.map:2: unknown key \"nokey\"");
    EXPECT_EQ(
        errorOf("key-sideways a = a.wav"),
        "theme.map:1: expected \"name =\", \"pitch =\", \"stereo =\", \"key-down\" or \"key-up\", "
        "found \"key-sideways\"");
    EXPECT_EQ(errorOf("pitch = 101"),
              "theme.map:1: the pitch varies by 0 to 100 cents, not \"101\"");
    EXPECT_EQ(errorOf("pitch = -1"), "theme.map:1: the pitch varies by 0 to 100 cents, not \"-1\"");
    EXPECT_EQ(errorOf("pitch 5"), "theme.map:1: expected pitch = CENTS");
    EXPECT_EQ(errorOf("stereo = maybe"),
              "theme.map:1: expected stereo = yes or stereo = no, found \"maybe\"");
    EXPECT_EQ(errorOf("key-down a a.wav"), "theme.map:1: missing \"=\" after the keys");
    EXPECT_EQ(errorOf("key-down = a.wav"), "theme.map:1: no keys before \"=\"");
    EXPECT_EQ(errorOf("\n\nkey-up a ="),
              "theme.map:3: nothing after \"=\" (use \"silent\" for a silent key)");
    EXPECT_EQ(errorOf("key-up a = say"),
              "theme.map:1: \"say\" takes one text, in double quotes when it has blanks");
    EXPECT_EQ(errorOf("key-up a = silent a.wav"), "theme.map:1: \"silent\" takes nothing after it");
    EXPECT_EQ(errorOf("key-up a = \"a.wav"), "theme.map:1: unclosed double quote");
    EXPECT_EQ(errorOf("name ="), "theme.map:1: expected name = NAME");
    EXPECT_EQ(errorOf("name A"), "theme.map:1: expected name = NAME");
    EXPECT_EQ(errorOf("key-down 255 = a.wav"), "theme.map:1: unknown key \"255\"");
    EXPECT_EQ(errorOf("key-down -1 = a.wav"), "theme.map:1: unknown key \"-1\"");
}

}  // namespace
}  // namespace plinka::themetool
