#pragma once

#include <string>

#include "ScratchDirectory.h"
#include "base/Object.h"

namespace plinka::testing {

// A fresh directory for one test's defaults files, removed with everything in it afterwards.
class DefaultsDirectory : public ScratchDirectory {
  public:
    // The defaults file of the test bundle identifier.
    std::string defaultsFile() const { return file(std::string(kIdentifier) + ".plist"); }

    static constexpr const char* kIdentifier = "org.plinka.DefaultsTest";
};

// The defaults the tests register, as the program registers its own at the start.
inline Object registration() {
    return Object::dictionary({{Object::string("soundTheme"), Object::string("Typewriter")},
                               {Object::string("showInMenuBar"), Object::boolean(true)},
                               {Object::string("SUEnableAutomaticChecks"), Object::boolean(true)}});
}

}  // namespace plinka::testing
