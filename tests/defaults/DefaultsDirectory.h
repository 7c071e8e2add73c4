#pragma once

#include <string>

#include "ScratchDirectory.h"

namespace plinka::testing {

// A fresh directory for one test's defaults files, removed with everything in it afterwards.
class DefaultsDirectory {
  public:
    std::string path() const { return scratch_.path().string(); }
    // The defaults file of the test bundle identifier.
    std::string defaultsFile() const { return path() + "/" + kIdentifier + ".plist"; }

    static constexpr const char* kIdentifier = "org.plinka.DefaultsTest";

  private:
    ScratchDirectory scratch_;
};

}  // namespace plinka::testing
