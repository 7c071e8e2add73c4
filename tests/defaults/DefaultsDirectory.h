#pragma once

#include <string>

#include "ScratchDirectory.h"

namespace plinka::testing {

// A fresh directory for one test's defaults files, removed with everything in it afterwards.
class DefaultsDirectory : public ScratchDirectory {
  public:
    // The defaults file of the test bundle identifier.
    std::string defaultsFile() const { return file(std::string(kIdentifier) + ".plist"); }

    static constexpr const char* kIdentifier = "org.plinka.DefaultsTest";
};

}  // namespace plinka::testing
