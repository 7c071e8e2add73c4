#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Object.h"

namespace plinka::testing {

// A fresh directory for one test's defaults files, removed with everything in it afterwards.
class DefaultsDirectory {
  public:
    DefaultsDirectory();
    ~DefaultsDirectory();
    DefaultsDirectory(const DefaultsDirectory&) = delete;
    DefaultsDirectory& operator=(const DefaultsDirectory&) = delete;

    const std::string& path() const { return path_; }
    // The defaults file of the test bundle identifier.
    std::string defaultsFile() const { return path_ + "/" + kIdentifier + ".plist"; }
    // The names of the directory's entries, sorted.
    std::vector<std::string> entries() const;

    static constexpr const char* kIdentifier = "org.plinka.DefaultsTest";

  private:
    std::string path_;
};

std::vector<uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
// The XML property list of a dictionary, as another program would write it.
std::string xmlPlist(const Object::Dictionary& entries);
// Runs a shell command as a separate program; answers its exit status.
int runShell(const std::string& command);

}  // namespace plinka::testing
