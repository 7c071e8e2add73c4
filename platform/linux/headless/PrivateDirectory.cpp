#include "platform/linux/headless/PrivateDirectory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace plinka {

namespace {

enum class DirectoryState { Missing, Private, OpenToOthers, NotOurs };

DirectoryState directoryState(const std::string& directory) {
    struct stat status {};
    if (lstat(directory.c_str(), &status) != 0) {
        return DirectoryState::Missing;
    }
    if (!S_ISDIR(status.st_mode) || status.st_uid != geteuid()) {
        return DirectoryState::NotOurs;
    }
    return (status.st_mode & 077) ? DirectoryState::OpenToOthers : DirectoryState::Private;
}

}  // namespace

bool isPrivateDirectory(const std::string& directory) {
    return directoryState(directory) == DirectoryState::Private;
}

bool preparePrivateDirectory(const std::string& directory, std::string* error) {
    auto fail = [&](const std::string& reason) {
        if (error) {
            *error = directory + ": " + reason;
        }
        return false;
    };
    switch (directoryState(directory)) {
        case DirectoryState::Private:
            return true;
        case DirectoryState::Missing:
            if (mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) {
                return fail(std::strerror(errno));
            }
            // Made by us or, in a race, by someone else: look again.
            if (!isPrivateDirectory(directory)) {
                return fail("not a private directory of this user");
            }
            return true;
        case DirectoryState::OpenToOthers:
            if (chmod(directory.c_str(), 0700) != 0) {
                return fail(std::strerror(errno));
            }
            return true;
        case DirectoryState::NotOurs:
            break;
    }
    return fail("not a directory of this user");
}

}  // namespace plinka
