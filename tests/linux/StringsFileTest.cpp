#include <gtest/gtest.h>

#include <cstdlib>

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

TEST(StringsFile, RefusesDamagedTablesWithTheLine) {
    for (const char* damaged : {"\"a\" = \"b\"", "\"a\" = ;", "\"a\" = \"open", "a = b; /* open",
                                "= \"b\";", "\"a\" = \"\\UD800\";", "\"a\" = \"\\U12\";", "a b;"}) {
        std::string error;
        EXPECT_FALSE(parseStringsFile(damaged, &error).has_value()) << damaged;
        EXPECT_EQ(error.find("not a strings table (line 1)"), 0u) << damaged;
    }
    std::string error;
    EXPECT_FALSE(parseStringsFile("a = b;\n\nc = ", &error).has_value());
    EXPECT_EQ(error, "not a strings table (line 3)");
}

class ScopedLocale {
  public:
    ScopedLocale(const char* language, const char* all, const char* messages, const char* lang) {
        set("LANGUAGE", language);
        set("LC_ALL", all);
        set("LC_MESSAGES", messages);
        set("LANG", lang);
    }
    ~ScopedLocale() {
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
            ::unsetenv(name);
        }
    }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

  private:
    static void set(const char* name, const char* value) {
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
};

TEST(Localizations, LanguagesComeFromTheLocaleVariablesLikeGettext) {
    using Languages = std::vector<std::string>;
    {
        ScopedLocale locale(nullptr, nullptr, nullptr, "de_DE.UTF-8");
        EXPECT_EQ(preferredLanguages(), Languages{"de_DE"});
    }
    {
        ScopedLocale locale("fr:pt_BR:fr", "sv_SE.UTF-8@euro", "de_DE", "en_US");
        EXPECT_EQ(preferredLanguages(), (Languages{"fr", "pt_BR", "sv_SE"}));
    }
    {
        // $LANGUAGE is not heeded under the C locale.
        ScopedLocale locale("fr", nullptr, nullptr, "C.UTF-8");
        EXPECT_TRUE(preferredLanguages().empty());
    }
    EXPECT_EQ(localizationFolders({"pt_BR", "pt", "de"}),
              (Languages{"pt_BR.lproj", "pt-BR.lproj", "pt.lproj", "de.lproj"}));
}

}  // namespace
}  // namespace plinka
