#pragma once

#include <string>

namespace plinka {

// A new private directory (mode 0700) under $TMPDIR or /tmp, removed with everything in it when
// this goes.
class TemporaryDirectory {
  public:
    // The directory's name starts with the prefix; path() is empty when it could not be made.
    explicit TemporaryDirectory(const std::string& prefix);
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace plinka
