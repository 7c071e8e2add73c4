#pragma once

#include <string>
#include <vector>

namespace plinka {

// Files and folders as the user sees them: tests, copies and the Trash.
class FileManager {
  public:
    virtual ~FileManager() = default;
    // Whether the current user may write the file or folder itself (not what it holds).
    virtual bool isWritableFileAtPath(const std::string& path) const = 0;
    // Whether something exists at the path, links followed; `isDirectory` (when not null) tells
    // whether it is a folder.
    virtual bool fileExistsAtPath(const std::string& path, bool* isDirectory) const = 0;
    // Copies the file or folder with everything in it (links as links, permissions kept) to
    // `destination`, which must not exist yet. On failure nothing is left at the destination and
    // `error` (when not null) says why.
    virtual bool copyItemAtPath(const std::string& source, const std::string& destination,
                                std::string* error) = 0;
    // Moves the named entries of the folder to the user's Trash, where they can be put back;
    // false when one of them could not be moved.
    virtual bool recycleFiles(const std::string& folder,
                              const std::vector<std::string>& fileNames) = 0;
};

}  // namespace plinka
