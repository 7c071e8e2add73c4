#pragma once

#include <optional>
#include <string>

namespace plinka {

// What a desktop says about the permission to read every key, where its words are its own.
struct UniversalAccessGuide {
    std::string explanation;    // a format: every "%1$@" names the application
    std::string helpPage;       // the page's path on the help site
    std::string defaultButton;  // the button that grants the permission and quits
};

// The permission to read every key: the words of the dialog about it and what its default
// button does. Whether the permission is there is the event taps' canCapture.
class UniversalAccess {
  public:
    virtual ~UniversalAccess() = default;
    // This desktop's own words; nullopt on macOS, whose words follow the running release.
    virtual std::optional<UniversalAccessGuide> guide() const = 0;
    // Grants the permission, or shows where the user grants it: the macOS layer runs the
    // AppleScript source, other desktops act their own way. Blocks until that is done; false
    // when this desktop has no way to do either.
    virtual bool grantAccess(const std::string& appleScriptSource) = 0;
};

}  // namespace plinka
