#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plinka::DesktopEntry {

// The keys of the file's "Desktop Entry" group with their values unescaped; localized variants
// ("Name[de]") are left out.
std::map<std::string, std::string> readMainGroup(std::string_view text);

// The arguments of an Exec value (as readMainGroup answers it), quotes and escapes undone.
std::vector<std::string> execArguments(std::string_view exec);

// The program an Exec value starts: its first argument after any "env NAME=value" prefix.
std::string execProgram(std::string_view exec);

// The text of an application entry that starts `program` at login, in the background (no
// window of its own).
std::string applicationEntry(std::string_view name, std::string_view program);

// The entry's text with the paths of its Exec, TryExec, Path and Icon values that lie in `from`
// (or are `from`) moved into `to`; nullopt when none of them did. Other lines stay as they are.
std::optional<std::string> withPathsMoved(std::string_view text, std::string_view from,
                                          std::string_view to);

}  // namespace plinka::DesktopEntry
