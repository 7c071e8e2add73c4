#pragma once

#include <sys/stat.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/ApplicationInstallation.h"
#include "platform/FileManager.h"
#include "platform/PrivilegedExecution.h"
#include "platform/linux/install/LinuxApplicationInstallation.h"

namespace plinka::testing {

// Files as the real file system has them (whether they exist, whether they are folders), with
// the writability, copies and the Trash the test decides; keeps every copy and every item sent
// to the Trash.
class FakeFileManager final : public FileManager {
  public:
    bool isWritableFileAtPath(const std::string& path) const override {
        return !readOnly.contains(path);
    }
    bool fileExistsAtPath(const std::string& path, bool* isDirectory) const override {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) {
            return false;
        }
        if (isDirectory != nullptr) {
            *isDirectory = S_ISDIR(info.st_mode);
        }
        return true;
    }
    bool copyItemAtPath(const std::string& source, const std::string& destination,
                        std::string* error) override {
        copies.emplace_back(source, destination);
        if (!copyError.empty() && error != nullptr) {
            *error = copyError;
        }
        return copyError.empty();
    }
    bool recycleFiles(const std::string& folder,
                      const std::vector<std::string>& fileNames) override {
        for (const std::string& name : fileNames) {
            trashed.push_back(folder + "/" + name);
        }
        return !trashFails;
    }

    std::set<std::string> readOnly;
    std::string copyError;  // empty: copies succeed
    bool trashFails = false;
    std::vector<std::pair<std::string, std::string>> copies;
    std::vector<std::string> trashed;
};

// What a desktop answers, from folders the test sets; the only command it makes is "open
// <bundle>", as the others are started and never looked at. Ending the process throws
// ProcessEnded instead.
class FakeInstallation final : public ApplicationInstallation {
  public:
    struct ProcessEnded {
        int status;
    };

    std::vector<std::string> searchPathForDirectoriesInDomains(
        SearchPathDirectory directory, SearchPathDomainMask domains) const override {
        std::vector<std::string> found;
        for (const auto& [mask, folder] : folders.at(directory)) {
            if ((domains & mask) != 0) {
                found.push_back(folder);
            }
        }
        return found;
    }
    std::vector<std::string> volumesFolders() const override { return {"/Volumes/"}; }
    double appKitVersionNumber() const override {
        return LinuxApplicationInstallation::kAppKitVersionNumber;
    }
    int processIdentifier() const override { return 0; }
    bool isApplicationRunningFromBundle(const std::string&) override { return copyRunning; }
    std::string openCommand(const std::string& bundlePath) const override {
        return "open " + bundlePath;
    }
    std::string quarantineRemovalCommand(const std::string&, bool) const override { return {}; }
    std::string relaunchCommand(int, const std::string&, const std::string&) const override {
        return {};
    }
    std::string detachCommand(const std::string&) const override { return {}; }
    void applicationMoved(const std::string&, const std::string&) override {}

    // By kind of folder, each folder with the domain it belongs to, in order.
    std::map<SearchPathDirectory, std::vector<std::pair<SearchPathDomainMask, std::string>>>
        folders{{SearchPathDirectory::Applications, {}}, {SearchPathDirectory::Downloads, {}}};
    bool copyRunning = false;

  protected:
    void endProcess(int status) override { throw ProcessEnded{status}; }
};

// An authorization that answers what the test sets, keeping the commands it was given.
class FakePrivilegedExecution final : public PrivilegedExecution {
  public:
    OSStatus executeWithPrivileges(const std::vector<Command>& given,
                                   std::vector<int>* waitStatuses) override {
        commands = given;
        *waitStatuses = statuses;
        return status;
    }

    OSStatus status = errAuthorizationSuccess;
    std::vector<int> statuses{0, 0};
    std::vector<Command> commands;
};

}  // namespace plinka::testing
