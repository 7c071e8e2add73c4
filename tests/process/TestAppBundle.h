#pragma once

#include <string>

#include "ScratchDirectory.h"

namespace plinka::testing {

// <directory>/<name>.app holding a copy of sleep(1) as Contents/MacOS/<name>, with the
// identifier in its Info.plist: a process that runs from a bundle.
class TestAppBundle {
  public:
    TestAppBundle(const std::string& directory, const std::string& name,
                  const std::string& identifier);

    const std::string& path() const { return path_; }
    const std::string& executable() const { return executable_; }

  private:
    std::string path_;
    std::string executable_;
};

}  // namespace plinka::testing
