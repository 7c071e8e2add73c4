#pragma once

#include <string>
#include <vector>

namespace plinka {

// The user's languages, most wanted first, from $LANGUAGE (a colon-separated list), else the
// first of $LC_ALL, $LC_MESSAGES and $LANG: "de_DE.UTF-8" gives "de_DE". "C" and "POSIX" name
// no language.
std::vector<std::string> preferredLanguages();

// The localization folders to look in for the languages, in order: for "pt_BR" those are
// pt_BR.lproj, pt-BR.lproj and pt.lproj, then the next language's.
std::vector<std::string> localizationFolders(const std::vector<std::string>& languages);

}  // namespace plinka
