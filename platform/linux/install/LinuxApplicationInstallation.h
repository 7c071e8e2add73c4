#pragma once

#include <string>
#include <vector>

#include "platform/ApplicationInstallation.h"

namespace plinka {

// The applications folders of a Linux desktop: the user's ~/Applications, the local /opt, and
// the folder an installer put this bundle in (<prefix>/lib/plinka, see InstalledLayout.h) as
// the system's. Removable media are mounted under /media/ and /run/media/ and detached with
// the desktop's unmount (gio, else udisksctl, else umount), all without root. Downloads carry
// no quarantine. A moved copy is started by its executable once this process has ended.
class LinuxApplicationInstallation final : public ApplicationInstallation {
  public:
    // The places the answers come from.
    struct Places {
        std::string home;
        // The desktop's download folder (XDG_DOWNLOAD_DIR).
        std::string downloads;
        // The running bundle, and the name of the executable in its Contents/MacOS.
        std::string bundlePath;
        std::string executableName;
        // Where the desktop entries that may point at the bundle are kept.
        std::vector<std::string> desktopEntryFolders;
        // The mount table to find a medium's mount point in.
        std::string mountInfo = "/proc/self/mountinfo";
    };

    // The places of this session for the running bundle: from $HOME, the XDG user folders,
    // $XDG_DATA_HOME/applications and $XDG_CONFIG_HOME/autostart.
    static Places sessionPlaces(const std::string& bundlePath);

    explicit LinuxApplicationInstallation(Places places);

    // The level is above every level the move offer tests: suppression box, copies and the
    // recursive quarantine command (which is empty here).
    static constexpr double kAppKitVersionNumber = 2000;

    std::vector<std::string> searchPathForDirectoriesInDomains(
        SearchPathDirectory directory, SearchPathDomainMask domains) const override;
    std::vector<std::string> volumesFolders() const override;
    double appKitVersionNumber() const override { return kAppKitVersionNumber; }
    int processIdentifier() const override;
    // From the executables of /proc/<pid>/exe that this process may read.
    bool isApplicationRunningFromBundle(const std::string& bundlePath) override;
    // Starts the bundle's executable once this process has ended, in the background: the
    // running copy's single-copy guard then hands over to whichever copy already runs.
    std::string openCommand(const std::string& bundlePath) const override;
    std::string quarantineRemovalCommand(const std::string& bundlePath,
                                         bool recursive) const override;
    std::string relaunchCommand(int pid, const std::string& quarantineCommand,
                                const std::string& bundlePath) const override;
    std::string detachCommand(const std::string& folder) const override;
    // Rewrites the desktop entries of the folders whose Exec, TryExec, Path or Icon lie in `from`.
    void applicationMoved(const std::string& from, const std::string& to) override;

  protected:
    void endProcess(int status) override;

  private:
    Places places_;
    std::string installedFolder_;
};

}  // namespace plinka
