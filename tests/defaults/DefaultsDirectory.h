#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ScratchDirectory.h"
#include "base/Object.h"

namespace plinka::testing {

// A fresh directory for one test's defaults files, removed with everything in it afterwards.
class DefaultsDirectory {
  public:
    std::string path() const { return scratch_.path().string(); }
    // The defaults file of the test bundle identifier.
    std::string defaultsFile() const { return path() + "/" + kIdentifier + ".plist"; }
    // The names of the directory's entries, sorted.
    std::vector<std::string> entries() const;

    static constexpr const char* kIdentifier = "org.plinka.DefaultsTest";

  private:
    ScratchDirectory scratch_;
};

std::vector<uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
// The XML property list of a dictionary, as another program would write it.
std::string xmlPlist(const Object::Dictionary& entries);
// Runs a shell command as a separate program; answers its exit status.
int runShell(const std::string& command);

}  // namespace plinka::testing
