#include "platform/linux/install/LinuxApplicationInstallation.h"

#include <unistd.h>

#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/ShellQuoting.h"
#include "platform/linux/XdgBaseDirectory.h"
#include "platform/linux/install/InstalledLayout.h"
#include "platform/linux/install/MountPoints.h"
#include "platform/linux/process/ExecutableBundle.h"
#include "platform/linux/process/ReopenChannel.h"
#include "platform/linux/system/DesktopEntry.h"
#include "platform/linux/system/XdgAutostartLoginItems.h"

namespace plinka {

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The variable when it holds an absolute path, else the fallback.
std::string absoluteVariable(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? value : fallback;
}

bool isProcessId(const std::string& name) {
    return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

LinuxApplicationInstallation::Places LinuxApplicationInstallation::sessionPlaces(
    const std::string& bundlePath) {
    Places places;
    places.home = QDir::homePath().toStdString();
    places.downloads = absoluteVariable(
        "XDG_DOWNLOAD_DIR",
        QStandardPaths::writableLocation(QStandardPaths::DownloadLocation).toStdString());
    places.bundlePath = bundlePath;
    std::error_code error;
    places.executableName = fs::read_symlink("/proc/self/exe", error).filename().string();
    if (const auto data = xdgBaseDirectory("XDG_DATA_HOME", ".local/share")) {
        places.desktopEntryFolders.push_back(*data + "/applications");
    }
    if (const auto autostart = XdgAutostartLoginItems::defaultDirectory()) {
        places.desktopEntryFolders.push_back(*autostart);
    }
    return places;
}

LinuxApplicationInstallation::LinuxApplicationInstallation(Places places)
    : places_(std::move(places)),
      installedFolder_(installedApplicationsFolder(places_.bundlePath).value_or("")) {}

std::vector<std::string> LinuxApplicationInstallation::searchPathForDirectoriesInDomains(
    SearchPathDirectory directory, SearchPathDomainMask domains) const {
    std::vector<std::string> folders;
    if (directory == SearchPathDirectory::Downloads) {
        if ((domains & NSUserDomainMask) != 0 && !places_.downloads.empty()) {
            folders.push_back(places_.downloads);
        }
        return folders;
    }
    if ((domains & NSUserDomainMask) != 0) {
        folders.push_back(places_.home + "/Applications");
    }
    if ((domains & NSLocalDomainMask) != 0) {
        folders.push_back("/opt");
    }
    if ((domains & NSSystemDomainMask) != 0 && !installedFolder_.empty()) {
        folders.push_back(installedFolder_);
    }
    return folders;
}

std::vector<std::string> LinuxApplicationInstallation::volumesFolders() const {
    return {"/media/", "/run/media/"};
}

int LinuxApplicationInstallation::processIdentifier() const {
    return static_cast<int>(::getpid());
}

bool LinuxApplicationInstallation::isApplicationRunningFromBundle(const std::string& bundlePath) {
    std::error_code error;
    const std::string inside = fs::weakly_canonical(bundlePath, error).string() + "/";
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        if (!isProcessId(entry.path().filename().string())) {
            continue;
        }
        std::error_code unreadable;
        const fs::path link = fs::read_symlink(entry.path() / "exe", unreadable);
        if (!unreadable && executablePathFromLink(link.string()).starts_with(inside)) {
            return true;
        }
    }
    return false;
}

std::string LinuxApplicationInstallation::openCommand(const std::string& bundlePath) const {
    return relaunchCommand(processIdentifier(), "", bundlePath);
}

std::string LinuxApplicationInstallation::quarantineRemovalCommand(const std::string&, bool) const {
    return {};
}

std::string LinuxApplicationInstallation::relaunchCommand(int pid,
                                                          const std::string& quarantineCommand,
                                                          const std::string& bundlePath) const {
    // A process that has ended but is not yet reaped is a zombie ("State: Z") and counts as gone.
    return "(while grep -qs '^State:[[:space:]]*[^Z]' /proc/" + std::to_string(pid) +
           "/status; do sleep 0.1; done; " +
           (quarantineCommand.empty() ? "" : quarantineCommand + " ") + "exec " +
           shellQuoted(bundlePath + "/Contents/MacOS/" + places_.executableName) +
           ") </dev/null >/dev/null 2>&1 &";
}

std::string LinuxApplicationInstallation::detachCommand(const std::string& folder) const {
    std::error_code error;
    const std::string path = fs::weakly_canonical(folder, error).string();
    const auto mount = mountHolding(readFile(places_.mountInfo), error ? folder : path);
    const std::string mountPoint = shellQuoted(mount ? mount->mountPoint : folder);
    // The desktop's own unmount first; each one missing or failing hands on to the next.
    std::string unmount = "gio mount -u " + mountPoint + " || ";
    if (mount && mount->source.starts_with("/dev/")) {
        unmount +=
            "udisksctl unmount --no-user-interaction -b " + shellQuoted(mount->source) + " || ";
    }
    unmount += "umount " + mountPoint;
    return "(sleep 5 && { " + unmount + "; }) </dev/null >/dev/null 2>&1 &";
}

void LinuxApplicationInstallation::applicationMoved(const std::string& from,
                                                    const std::string& to) {
    for (const std::string& folder : places_.desktopEntryFolders) {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            if (entry.path().extension() != ".desktop") {
                continue;
            }
            const auto moved = DesktopEntry::withPathsMoved(readFile(entry.path()), from, to);
            if (!moved) {
                continue;
            }
            QSaveFile file(QString::fromStdString(entry.path().string()));
            if (file.open(QIODevice::WriteOnly)) {
                file.write(moved->data(), static_cast<qint64>(moved->size()));
                file.commit();
            }
        }
    }
}

// Nothing is torn down on the way out, so what would outlive the process goes first: its reopen
// socket, which later copies would otherwise keep finding.
void LinuxApplicationInstallation::endProcess(int status) {
    ::unlink(reopenSocketPath(reopenSocketDirectory(), ::getpid()).c_str());
    std::fflush(nullptr);
    std::_Exit(status);
}

}  // namespace plinka
