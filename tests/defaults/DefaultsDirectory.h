#pragma once

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

// The XML property list of a dictionary, as another program would write it.
std::string xmlPlist(const Object::Dictionary& entries);

}  // namespace plinka::testing
