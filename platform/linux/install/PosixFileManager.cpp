#include "platform/linux/install/PosixFileManager.h"

#include <unistd.h>

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QString>
#include <filesystem>

namespace plinka {

namespace fs = std::filesystem;

bool PosixFileManager::isWritableFileAtPath(const std::string& path) const {
    return !path.empty() && ::access(path.c_str(), W_OK) == 0;
}

bool PosixFileManager::fileExistsAtPath(const std::string& path, bool* isDirectory) const {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        return false;
    }
    if (isDirectory != nullptr) {
        *isDirectory = S_ISDIR(info.st_mode);
    }
    return true;
}

bool PosixFileManager::copyItemAtPath(const std::string& source, const std::string& destination,
                                      std::string* error) {
    const auto fail = [&](const std::string& reason) {
        if (error != nullptr) {
            *error = reason;
        }
        return false;
    };
    std::error_code problem;
    if (fs::symlink_status(destination, problem).type() != fs::file_type::not_found) {
        return fail("\"" + destination + "\" already exists");
    }
    fs::copy(source, destination, fs::copy_options::recursive | fs::copy_options::copy_symlinks,
             problem);
    if (problem) {
        // Half a bundle would pass for a whole one.
        std::error_code ignored;
        fs::remove_all(destination, ignored);
        return fail(problem.message());
    }
    return true;
}

bool PosixFileManager::recycleFiles(const std::string& folder,
                                    const std::vector<std::string>& fileNames) {
    // Qt finds no home Trash while the data folder is missing, and then puts the items in
    // files/ and info/ of the working directory instead.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data)) {
        return false;
    }
    bool allMoved = true;
    for (const std::string& name : fileNames) {
        const fs::path item = fs::path(folder) / name;
        allMoved = QFile::moveToTrash(QString::fromStdString(item.string())) && allMoved;
    }
    return allMoved;
}

}  // namespace plinka
