#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "TestFiles.h"
#include "platform/linux/headless/TemporaryDirectory.h"

namespace plinka::testing {

// A fresh directory under the system's temporary directory, removed with everything in it when
// let go. Others may read and enter it, for copies a test runs as another user.
class ScratchDirectory {
  public:
    ScratchDirectory() : directory_("plinka-test-"), path_(directory_.path()) {
        if (directory_.path().empty()) {
            throw std::runtime_error("cannot make a scratch directory");
        }
        namespace fs = std::filesystem;
        fs::permissions(path_, fs::perms::owner_all | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read |
                                   fs::perms::others_exec);
    }

    const std::filesystem::path& path() const { return path_; }
    // The path of an entry, which need not exist yet.
    std::string file(const std::string& relative) const { return (path_ / relative).string(); }

  private:
    TemporaryDirectory directory_;
    std::filesystem::path path_;
};

}  // namespace plinka::testing
