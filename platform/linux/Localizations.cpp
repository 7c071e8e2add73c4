#include "platform/linux/Localizations.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace plinka {

namespace {

// "de_DE.UTF-8@euro" -> "de_DE"; empty for the locales that name no language.
std::string languageOfLocale(std::string_view locale) {
    locale = locale.substr(0, locale.find_first_of(".@"));
    if (locale == "C" || locale == "POSIX") {
        return {};
    }
    return std::string(locale);
}

void addOnce(std::vector<std::string>& list, std::string item) {
    if (!item.empty() && std::find(list.begin(), list.end(), item) == list.end()) {
        list.push_back(std::move(item));
    }
}

}  // namespace

std::vector<std::string> preferredLanguages() {
    std::vector<std::string> languages;
    std::string_view locale;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            locale = value;
            break;
        }
    }
    // Like gettext: $LANGUAGE counts only when a locale other than C is in force.
    const char* list = std::getenv("LANGUAGE");
    if (list && *list && !languageOfLocale(locale).empty()) {
        std::string_view rest = list;
        while (!rest.empty()) {
            const size_t colon = rest.find(':');
            addOnce(languages, languageOfLocale(rest.substr(0, colon)));
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
    }
    addOnce(languages, languageOfLocale(locale));
    return languages;
}

std::vector<std::string> localizationFolders(const std::vector<std::string>& languages) {
    std::vector<std::string> folders;
    for (const std::string& language : languages) {
        std::string dashed = language;
        std::replace(dashed.begin(), dashed.end(), '_', '-');
        addOnce(folders, language + ".lproj");
        addOnce(folders, dashed + ".lproj");
        addOnce(folders, language.substr(0, language.find_first_of("_-")) + ".lproj");
    }
    return folders;
}

}  // namespace plinka
