#pragma once

#include <sys/types.h>
#include <ctime>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "base/Object.h"

namespace plinka {

// The file that keeps one user's stored defaults: a property list whose root is a dictionary,
// written as XML so that people can read and edit it. Remembers which version of the file it
// last read or wrote, so that changes made by others can be told from its own.
class UserDefaultsFile {
  public:
    using Values = std::map<std::string, Object, std::less<>>;
    enum class State {
        Missing,     // no file: nothing stored
        Loaded,      // values hold the file's content
        Damaged,     // the file is no property list with a dictionary at its root
        Unreadable,  // the file exists but cannot be read
    };
    struct Contents {
        State state = State::Missing;
        Values values;
        std::string problem;  // why the file is damaged or unreadable
    };

    explicit UserDefaultsFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    // The file as it is now; this version counts as seen.
    Contents read();
    // True when the file is not the version last read or written.
    bool changedSinceSeen() const;
    // Replaces the file atomically with the values; the new version counts as seen.
    bool write(const Values& values, std::string* error);
    // The value as the file keeps it: dates, also inside arrays and dictionaries, to the whole
    // second (the earlier one), which is all that the XML form holds.
    static Object asWritten(const Object& value);
    // Renames the file aside to "<path>.corrupt-<UTC time>", never over an existing file, and
    // keeps only the newest kKeptDamagedFiles of those; answers the new path.
    std::optional<std::string> setAside(std::string* error);
    // Removes what earlier runs left beside the file: temporary files of writes that were cut
    // short (older than a write takes), and damaged files set aside beyond the newest few.
    void removeLeftovers() const;

    static constexpr int kKeptDamagedFiles = 3;

  private:
    struct Version {
        dev_t device;
        ino_t inode;
        off_t size;
        timespec modified;
        timespec changed;
    };
    static std::optional<Version> currentVersion(const std::string& path);
    static bool sameVersion(const std::optional<Version>& a, const std::optional<Version>& b);

    std::string path_;
    std::optional<Version> seen_;
    bool seenAnything_ = false;
};

}  // namespace plinka
