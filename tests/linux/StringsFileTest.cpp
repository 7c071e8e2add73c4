#include <gtest/gtest.h>

#include "ScopedEnvironment.h"
#include "TestFiles.h"
#include "platform/linux/Localizations.h"
#include "platform/linux/StringsFile.h"

namespace plinka {
namespace {

std::string valueOf(const std::optional<Object>& table, std::string_view key) {
    const std::string* value = table ? table->objectForKey(key).stringValue() : nullptr;
    return value ? *value : "(none)";
}

// data/entries.strings: a byte order mark, comments, escapes, bare words, a key alone and a key
// given twice.
TEST(StringsFile, ReadsEntriesWithCommentsEscapesAndBareWords) {
    const auto table = parseStringsFile(
        testing::fileContents(PLINKA_SOURCE_DIR "/tests/linux/data/entries.strings"), nullptr);
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(valueOf(table, "CFBundleName"), "Later wins");
    EXPECT_EQ(valueOf(table, "NSHumanReadableCopyright"), "\u00A9 2026 \"we\"\n\\");
    EXPECT_EQ(valueOf(table, "bare.key-1"), "value_2");
    EXPECT_EQ(valueOf(table, "alone"), "alone");
    EXPECT_EQ(table->dictionaryValue()->size(), 4u);
    EXPECT_TRUE(parseStringsFile("", nullptr)->dictionaryValue()->empty());
}

// $LANGUAGE first, then the first of LC_ALL, LC_MESSAGES and LANG that is set; $LANGUAGE is
// not heeded under the C locale.
TEST(Localizations, LanguagesComeFromTheLocaleVariablesLikeGettext) {
    using Languages = std::vector<std::string>;
    using Value = std::optional<std::string>;
    const struct {
        Value language, all, messages, lang;
        Languages expected;
    } cases[] = {
        {{}, {}, {}, "de_DE.UTF-8", {"de_DE"}},
        {"fr:pt_BR:fr", "sv_SE.UTF-8@euro", "de_DE", "en_US", {"fr", "pt_BR", "sv_SE"}},
        {"fr", {}, {}, "C.UTF-8", {}},
    };
    for (const auto& test : cases) {
        testing::ScopedEnvironment language("LANGUAGE", test.language), all("LC_ALL", test.all),
            messages("LC_MESSAGES", test.messages), lang("LANG", test.lang);
        EXPECT_EQ(preferredLanguages(), test.expected) << test.lang.value_or("");
    }
    EXPECT_EQ(localizationFolders({"pt_BR", "pt", "de"}),
              (Languages{"pt_BR.lproj", "pt-BR.lproj", "pt.lproj", "de.lproj"}));
}

}  // namespace
}  // namespace plinka
