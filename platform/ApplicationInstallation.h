#pragma once

#include <cstdlib>
#include <string>
#include <vector>

namespace plinka {

// The kinds of folder the desktop is asked for, numbered as the original platform numbers them.
enum class SearchPathDirectory { Applications = 1, Downloads = 15 };

// The domains a folder is asked for in, as a mask.
using SearchPathDomainMask = unsigned;
constexpr SearchPathDomainMask NSUserDomainMask = 1;
constexpr SearchPathDomainMask NSLocalDomainMask = 2;
constexpr SearchPathDomainMask NSNetworkDomainMask = 4;
constexpr SearchPathDomainMask NSSystemDomainMask = 8;
constexpr SearchPathDomainMask NSAllDomainsMask = 0xFFFF;

// Where the desktop keeps applications, downloads and removable media, and how one copy of the
// application hands over to another that was just put in place.
class ApplicationInstallation {
  public:
    virtual ~ApplicationInstallation() = default;

    // The folders of the kind in the domains of the mask, the user's first, a leading "~"
    // expanded. A folder is listed whether or not it exists.
    virtual std::vector<std::string> searchPathForDirectoriesInDomains(
        SearchPathDirectory directory, SearchPathDomainMask domains) const = 0;
    // The folders under which removable media and disk images are mounted, each ending in "/".
    virtual std::vector<std::string> volumesFolders() const = 0;
    // The level of the desktop toolkit, which says what the move offer may use: above 824 its
    // alerts have a suppression box and files can be copied.
    virtual double appKitVersionNumber() const = 0;
    // This process's id.
    virtual int processIdentifier() const = 0;

    // Whether some process runs an executable that lies inside the bundle.
    virtual bool isApplicationRunningFromBundle(const std::string& bundlePath) = 0;
    // A shell command that opens the bundle as the desktop opens applications; run and waited
    // for, it returns as soon as the application is on its way.
    virtual std::string openCommand(const std::string& bundlePath) const = 0;
    // A shell command (ending in ";") that clears the download quarantine of the bundle, of
    // everything in it when `recursive`; empty where downloads carry no quarantine.
    virtual std::string quarantineRemovalCommand(const std::string& bundlePath,
                                                 bool recursive) const = 0;
    // A shell command, started without waiting, that waits until the process `pid` has ended,
    // then runs `quarantineCommand` and opens the bundle.
    virtual std::string relaunchCommand(int pid, const std::string& quarantineCommand,
                                        const std::string& bundlePath) const = 0;
    // A shell command, started without waiting, that detaches the medium mounted at `folder`
    // (or holding it) five seconds later.
    virtual std::string detachCommand(const std::string& folder) const = 0;
    // Points what the desktop keeps about the application (its menu entries, its login items)
    // from the bundle at `from` to the copy at `to`.
    virtual void applicationMoved(const std::string& from, const std::string& to) = 0;
    // Ends the process at once with the status, without the application's orderly termination.
    [[noreturn]] void exitProcess(int status) {
        endProcess(status);
        std::abort();  // for an ending that came back
    }

  protected:
    // Ends the process (a test's stand-in leaves by an exception instead).
    virtual void endProcess(int status) = 0;
};

}  // namespace plinka
