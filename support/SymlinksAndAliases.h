#pragma once

#include <optional>
#include <string>

namespace plinka {

class AliasFiles;

// Turns a path into the path of what it finally designates, following symbolic links and the
// platform's alias files component by component from the root.
class SymlinksAndAliases {
  public:
    // Links and aliases one component may pass through before it counts as a cycle: the
    // kernel's own limit for links.
    static constexpr int kMaximumPasses = 40;

    explicit SymlinksAndAliases(const AliasFiles& aliases) : aliases_(aliases) {}

    // The standardized absolute path with every link and alias along it followed; nullopt for
    // a relative path, a missing component (a dangling link included) or a cycle.
    std::optional<std::string> stringByResolvingSymlinksAndAliases(const std::string& path) const;
    // The path after following its last component, one link or alias per pass, until it is
    // neither; a folder is never taken for an alias. nullopt when an entry on the way is
    // missing or the passes run out.
    std::optional<std::string> stringByIterativelyResolvingSymlinkOrAlias(
        const std::string& path) const;
    // The alias's target, or the path itself when it is no alias that resolves.
    std::string stringByResolvingAlias(const std::string& path) const;
    // The link's target, or the path itself when it is no readable link.
    static std::string stringByResolvingSymlink(const std::string& path);
    // The link's target: an absolute one as it stands, a relative one joined to the link's
    // folder and standardized; nullopt when the path is no readable link.
    static std::optional<std::string> stringByConditionallyResolvingSymlink(
        const std::string& path);
    // The alias's target, one step; nullopt when the path is no alias that resolves without
    // asking the user.
    std::optional<std::string> stringByConditionallyResolvingAlias(const std::string& path) const;

    // The path with a leading "~" or "~user" expanded to that home folder, and without "."
    // and ".." components, doubled or trailing slashes. Only text is looked at.
    static std::string stringByStandardizingPath(const std::string& path);

  private:
    const AliasFiles& aliases_;
};

}  // namespace plinka
