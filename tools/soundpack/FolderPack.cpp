#include "tools/soundpack/FolderPack.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tools/soundpack/PackLimits.h"

namespace plinka::soundpack {

namespace {

namespace fs = std::filesystem;

class FolderPack final : public PackFiles {
  public:
    FolderPack(fs::path root, std::vector<std::string> files)
        : PackFiles(root.filename().string(), std::move(files), {}), root_(std::move(root)) {}

  protected:
    std::optional<std::vector<uint8_t>> readFile(const std::string& file, std::size_t limit,
                                                 std::string& error) override {
        // A link inside the pack may point anywhere: only what resolves inside it is read.
        std::error_code failed;
        const fs::path real = fs::canonical(root_ / file, failed);
        const auto inside = real.lexically_relative(root_);
        if (failed || inside.empty() || *inside.begin() == "..") {
            error = file + ": leads outside the pack";
            return std::nullopt;
        }
        const int fd = ::open(real.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) {
            error = file + ": can't be read";
            return std::nullopt;
        }
        struct stat about {};
        std::optional<std::vector<uint8_t>> bytes;
        if (::fstat(fd, &about) != 0 || !S_ISREG(about.st_mode)) {
            error = file + ": not a regular file";
        } else if (static_cast<std::size_t>(about.st_size) > limit) {
            error = file + ": larger than " + std::to_string(limit >> 20) + " MB";
        } else {
            bytes = readAll(fd, static_cast<std::size_t>(about.st_size), file, error);
        }
        ::close(fd);
        return bytes;
    }

  private:
    static std::optional<std::vector<uint8_t>> readAll(int fd, std::size_t size,
                                                       const std::string& file,
                                                       std::string& error) {
        std::vector<uint8_t> bytes(size);
        std::size_t done = 0;
        while (done < size) {
            const ssize_t got = ::read(fd, bytes.data() + done, size - done);
            if (got <= 0) {
                error = file + ": can't be read";
                return std::nullopt;
            }
            done += static_cast<std::size_t>(got);
        }
        return bytes;
    }

    fs::path root_;
};

}  // namespace

std::unique_ptr<PackFiles> openFolderPack(const std::string& folder, std::string& error) {
    std::error_code failed;
    const fs::path root = fs::canonical(folder, failed);
    if (failed) {
        error = folder + ": " + failed.message();
        return nullptr;
    }
    std::vector<std::string> files;
    std::size_t entries = 0;
    fs::recursive_directory_iterator entry(root, fs::directory_options::skip_permission_denied,
                                           failed);
    for (; !failed && entry != fs::recursive_directory_iterator(); entry.increment(failed)) {
        if (++entries > PackLimits::kMaxEntries) {
            error = folder + ": more than " + std::to_string(PackLimits::kMaxEntries) +
                    " files and folders, too many for a sound pack";
            return nullptr;
        }
        if (entry.depth() >= PackLimits::kMaxFolderDepth) {
            entry.disable_recursion_pending();
        }
        std::error_code ignored;
        if (entry->is_regular_file(ignored)) {
            files.push_back(entry->path().lexically_relative(root).generic_string());
        }
    }
    if (failed) {
        error = folder + ": " + failed.message();
        return nullptr;
    }
    return std::make_unique<FolderPack>(root, std::move(files));
}

}  // namespace plinka::soundpack
