#include <gtest/gtest.h>

#include "ScopedEnvironment.h"
#include "platform/linux/Localizations.h"
#include "platform/linux/StringsFile.h"

namespace plinka {
namespace {

std::string valueOf(const std::optional<Object>& table, std::string_view key) {
    const std::string* value = table ? table->objectForKey(key).stringValue() : nullptr;
    return value ? *value : "(none)";
}

TEST(StringsFile, ReadsEntriesWithCommentsEscapesAndBareWords) {
    const auto table = parseStringsFile(
        "\xEF\xBB\xBF/* a block\n comment */\n"
        "\"CFBundleName\" = \"Plinka\"; // the name\n"
        "NSHumanReadableCopyright=\"\\U00A9 2026 \\\"we\\\"\\n\\\\\";\n"
        "bare.key-1 = value_2;\n"
        "\"alone\";\n"
        "\"CFBundleName\" = \"Later wins\";\n",
        nullptr);
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(valueOf(table, "CFBundleName"), "Later wins");
    EXPECT_EQ(valueOf(table, "NSHumanReadableCopyright"), "\u00A9 2026 \"we\"\n\\");
    EXPECT_EQ(valueOf(table, "bare.key-1"), "value_2");
    EXPECT_EQ(valueOf(table, "alone"), "alone");
    EXPECT_EQ(table->dictionaryValue()->size(), 4u);
    EXPECT_TRUE(parseStringsFile("", nullptr)->dictionaryValue()->empty());
}

// Sets the locale variables gettext reads for the scope; nullopt unsets one.
class ScopedLocale {
  public:
    using Value = std::optional<std::string>;
    ScopedLocale(Value language, Value all, Value messages, Value lang)
        : language_("LANGUAGE", language),
          all_("LC_ALL", all),
          messages_("LC_MESSAGES", messages),
          lang_("LANG", lang) {}

  private:
    testing::ScopedEnvironment language_, all_, messages_, lang_;
};

TEST(Localizations, LanguagesComeFromTheLocaleVariablesLikeGettext) {
    using Languages = std::vector<std::string>;
    {
        ScopedLocale locale({}, {}, {}, "de_DE.UTF-8");
        EXPECT_EQ(preferredLanguages(), Languages{"de_DE"});
    }
    {
        ScopedLocale locale("fr:pt_BR:fr", "sv_SE.UTF-8@euro", "de_DE", "en_US");
        EXPECT_EQ(preferredLanguages(), (Languages{"fr", "pt_BR", "sv_SE"}));
    }
    {
        // $LANGUAGE is not heeded under the C locale.
        ScopedLocale locale("fr", {}, {}, "C.UTF-8");
        EXPECT_TRUE(preferredLanguages().empty());
    }
    EXPECT_EQ(localizationFolders({"pt_BR", "pt", "de"}),
              (Languages{"pt_BR.lproj", "pt-BR.lproj", "pt.lproj", "de.lproj"}));
}

}  // namespace
}  // namespace plinka
