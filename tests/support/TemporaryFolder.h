#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace plinka::testing {

// A fresh folder under $TMPDIR, removed with everything in it at the end of the test.
class TemporaryFolder {
  public:
    TemporaryFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") +
                              "/plinka-support-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~TemporaryFolder() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& relative) const { return (path_ / relative).string(); }

    // Writes the file, making its folders.
    static void write(const std::filesystem::path& file, const std::string& contents) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << contents;
    }

  private:
    std::filesystem::path path_;
};

}  // namespace plinka::testing
