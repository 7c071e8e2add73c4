#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plinka::soundpack {

// The files of a sound pack, a folder or a zip of one, read within the bounds of PackLimits.
// Files are named by their paths inside the pack ("sounds/a.ogg"); nothing outside the pack can
// be named, and nothing is ever written.
class PackFiles {
  public:
    virtual ~PackFiles() = default;

    // Opens the folder, or the zip, at `path` (a config.json stands for its folder); nullptr
    // with one line of reason.
    static std::unique_ptr<PackFiles> open(const std::string& path, std::string& error);

    // Every file of the pack by its path inside it, sorted.
    const std::vector<std::string>& files() const { return files_; }
    // The pack's own name: its folder's or zip's, without the extension.
    const std::string& packName() const { return packName_; }
    // What opening left out, for the report (entries whose names would leave the pack).
    const std::vector<std::string>& notes() const { return notes_; }

    // The file's contents, at most `limit` bytes; nullopt with one line of reason when it is
    // missing, larger, unreadable, or the pack's read budget is spent.
    std::optional<std::vector<uint8_t>> read(const std::string& file, std::size_t limit,
                                             std::string& error);

    // The path inside the pack of a name as a pack's configuration gives it: relative to
    // `folder` (a folder inside the pack, "" for its top), "\" read as "/", "." and ".."
    // resolved, a file of another case accepted when the name matches no file exactly.
    // nullopt when it leaves the pack or names no file.
    std::optional<std::string> find(const std::string& folder, const std::string& name) const;

  protected:
    PackFiles(std::string packName, std::vector<std::string> files, std::vector<std::string> notes);
    // The file's contents, at most `limit` bytes.
    virtual std::optional<std::vector<uint8_t>> readFile(const std::string& file, std::size_t limit,
                                                         std::string& error) = 0;

  private:
    std::string packName_;
    std::vector<std::string> files_;
    std::vector<std::string> notes_;
    std::size_t bytesRead_ = 0;
};

// A name inside a pack made safe: "\" read as "/", "." and empty parts dropped, ".." taking back
// a part. nullopt for absolute names and names that climb out of the pack.
std::optional<std::string> normalizedPackPath(const std::string& name);

// How deep a folder lies in the pack: 0 for its top ("").
int packPathDepth(const std::string& folder);

}  // namespace plinka::soundpack
