#include "tools/soundpack/ZipPack.h"

#include <zip.h>

#include <filesystem>
#include <map>

#include "tools/soundpack/PackLimits.h"

namespace plinka::soundpack {

namespace {

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct EntryCloser {
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};

std::string zipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

class ZipPack final : public PackFiles {
  public:
    ZipPack(std::unique_ptr<zip_t, ZipCloser> archive, std::string name,
            std::map<std::string, zip_uint64_t> entries, std::vector<std::string> notes)
        : PackFiles(std::move(name), namesOf(entries), std::move(notes)),
          archive_(std::move(archive)),
          entries_(std::move(entries)) {}

  protected:
    std::optional<std::vector<uint8_t>> readFile(const std::string& file, std::size_t limit,
                                                 std::string& error) override {
        const zip_uint64_t index = entries_.at(file);
        zip_stat_t about;
        zip_stat_init(&about);
        if (zip_stat_index(archive_.get(), index, 0, &about) != 0 ||
            (about.valid & ZIP_STAT_SIZE) == 0) {
            error = file + ": damaged in the zip";
            return std::nullopt;
        }
        if (about.size > limit) {
            error = file + ": " + std::to_string(about.size >> 20) + " MB unpacked, more than " +
                    std::to_string(limit >> 20) + " MB";
            return std::nullopt;
        }
        std::unique_ptr<zip_file_t, EntryCloser> entry(zip_fopen_index(archive_.get(), index, 0));
        if (!entry) {
            error = file + ": can't be unpacked (" + zip_strerror(archive_.get()) + ")";
            return std::nullopt;
        }
        // The stated size may lie: never read past it, and insist that the entry ends there.
        std::vector<uint8_t> bytes(static_cast<std::size_t>(about.size) + 1);
        std::size_t done = 0;
        while (done < bytes.size()) {
            const zip_int64_t got =
                zip_fread(entry.get(), bytes.data() + done, bytes.size() - done);
            if (got < 0) {
                error = file + ": damaged in the zip (" + zip_file_strerror(entry.get()) + ")";
                return std::nullopt;
            }
            if (got == 0) {
                break;
            }
            done += static_cast<std::size_t>(got);
        }
        if (done != about.size) {
            error = file + ": damaged in the zip (not the size it states)";
            return std::nullopt;
        }
        bytes.resize(done);
        return bytes;
    }

  private:
    static std::vector<std::string> namesOf(const std::map<std::string, zip_uint64_t>& entries) {
        std::vector<std::string> names;
        for (const auto& [name, index] : entries) {
            names.push_back(name);
        }
        return names;
    }

    std::unique_ptr<zip_t, ZipCloser> archive_;
    std::map<std::string, zip_uint64_t> entries_;
};

}  // namespace

std::unique_ptr<PackFiles> openZipPack(const std::string& zipFile, std::string& error) {
    int code = 0;
    std::unique_ptr<zip_t, ZipCloser> archive(zip_open(zipFile.c_str(), ZIP_RDONLY, &code));
    if (!archive) {
        error = zipFile + (code == ZIP_ER_NOZIP
                               ? std::string(": neither a folder nor a zip file")
                               : ": can't be read as a zip (" + zipErrorText(code) + ")");
        return nullptr;
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0 || static_cast<uint64_t>(count) > PackLimits::kMaxEntries) {
        error = zipFile + ": more than " + std::to_string(PackLimits::kMaxEntries) +
                " files and folders, too many for a sound pack";
        return nullptr;
    }
    std::map<std::string, zip_uint64_t> entries;
    std::vector<std::string> unsafe;
    for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(count); ++index) {
        const char* raw = zip_get_name(archive.get(), index, 0);
        if (raw == nullptr) {
            continue;
        }
        const std::string name = raw;
        if (name.ends_with('/')) {
            continue;
        }
        if (const auto path = normalizedPackPath(name); path && !path->empty()) {
            entries.emplace(*path, index);
        } else {
            unsafe.push_back(name);
        }
    }
    std::vector<std::string> notes;
    if (!unsafe.empty()) {
        notes.push_back("left out " + std::to_string(unsafe.size()) +
                        " entries of the zip whose names lead outside it (\"" + unsafe.front() +
                        "\"" + (unsafe.size() > 1 ? ", ..." : "") + ")");
    }
    return std::make_unique<ZipPack>(std::move(archive),
                                     std::filesystem::path(zipFile).stem().string(),
                                     std::move(entries), std::move(notes));
}

}  // namespace plinka::soundpack
