#pragma once

#include <string>

namespace plinka::testing {

// A directory of its own under /tmp, open to every user (for a copy run as another one), removed
// with everything in it when let go.
class ScratchDirectory {
  public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// <directory>/<name>.app holding a copy of the reopen test application as Contents/MacOS/<name>,
// with the identifier in its Info.plist.
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
