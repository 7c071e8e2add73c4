#pragma once

#include "platform/FileManager.h"

namespace plinka {

// The file system of this process's user; the Trash is the freedesktop one (Qt's).
class PosixFileManager final : public FileManager {
  public:
    bool isWritableFileAtPath(const std::string& path) const override;
    bool fileExistsAtPath(const std::string& path, bool* isDirectory) const override;
    bool copyItemAtPath(const std::string& source, const std::string& destination,
                        std::string* error) override;
    bool recycleFiles(const std::string& folder,
                      const std::vector<std::string>& fileNames) override;
};

}  // namespace plinka
