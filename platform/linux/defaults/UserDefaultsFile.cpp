#include "platform/linux/defaults/UserDefaultsFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>

#include "platform/linux/defaults/AtomicFile.h"
#include "platform/linux/plist/PlistLimits.h"
#include "platform/linux/plist/PropertyList.h"

namespace plinka {

namespace {

enum class ReadResult { Read, Missing, Failed, NotRegular, TooLarge };

ReadResult readWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
    // Without O_NONBLOCK a pipe put in the file's place would hold the open for ever.
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        return errno == ENOENT  ? ReadResult::Missing
               : errno == ENXIO ? ReadResult::NotRegular
                                : ReadResult::Failed;
    }
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        return ReadResult::NotRegular;
    }
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    ReadResult result = ReadResult::Read;
    uint8_t buffer[65536];
    for (;;) {
        ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            result = ReadResult::Failed;
            break;
        }
        if (count == 0) {
            break;
        }
        bytes->insert(bytes->end(), buffer, buffer + count);
        if (bytes->size() > PlistLimits::kMaxBytes) {
            result = ReadResult::TooLarge;
            break;
        }
    }
    int readError = errno;
    ::close(descriptor);
    errno = readError;
    return result;
}

std::string utcTimestamp() {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    ::gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &parts);
    return text;
}

}  // namespace

UserDefaultsFile::Contents UserDefaultsFile::read() {
    // The version is taken before reading: a change racing the read then shows up as a change.
    seen_ = currentVersion(path_);
    seenAnything_ = true;
    Contents contents;
    std::vector<uint8_t> bytes;
    switch (readWholeFile(path_, &bytes)) {
        case ReadResult::Missing:
            contents.state = State::Missing;
            return contents;
        case ReadResult::Failed:
            contents.state = State::Unreadable;
            contents.problem = std::strerror(errno);
            return contents;
        case ReadResult::NotRegular:
            contents.state = State::Unreadable;
            contents.problem = "not a regular file";
            return contents;
        case ReadResult::TooLarge:
            contents.state = State::Damaged;
            contents.problem = "larger than " + std::to_string(PlistLimits::kMaxBytes) + " bytes";
            return contents;
        case ReadResult::Read:
            break;
    }
    if (bytes.empty()) {
        // Most likely a write in place by another program that is not finished yet.
        contents.state = State::Damaged;
        contents.problem = "the file is empty";
        return contents;
    }
    std::optional<Object> root = readPropertyListData(bytes, &contents.problem);
    if (!root) {
        contents.state = State::Damaged;
        return contents;
    }
    const Object::Dictionary* entries = root->dictionaryValue();
    if (entries == nullptr) {
        contents.state = State::Damaged;
        contents.problem = "the root is not a dictionary";
        return contents;
    }
    contents.state = State::Loaded;
    for (const auto& [key, value] : *entries) {
        if (const std::string* name = key.stringValue()) {
            contents.values.insert_or_assign(*name, value);
        }
    }
    return contents;
}

bool UserDefaultsFile::changedSinceSeen() const {
    return !seenAnything_ || !sameVersion(seen_, currentVersion(path_));
}

bool UserDefaultsFile::write(const Values& values, std::string* error) {
    Object::Dictionary entries;
    entries.reserve(values.size());
    for (const auto& [key, value] : values) {
        entries.emplace_back(Object::string(key), value);
    }
    std::optional<std::vector<uint8_t>> bytes = writeXmlPropertyList(Object::dictionary(entries));
    if (!bytes) {
        *error = "a stored value is no property list";
        return false;
    }
    if (!writeFileAtomically(path_, *bytes, error)) {
        return false;
    }
    seen_ = currentVersion(path_);
    seenAnything_ = true;
    return true;
}

Object UserDefaultsFile::asWritten(const Object& value) {
    if (const std::optional<double> date = value.dateValue()) {
        return Object::date(std::floor(*date));
    }
    if (const Object::Array* elements = value.arrayValue()) {
        Object::Array written;
        written.reserve(elements->size());
        for (const Object& element : *elements) {
            written.push_back(asWritten(element));
        }
        return Object::array(std::move(written));
    }
    if (const Object::Dictionary* entries = value.dictionaryValue()) {
        Object::Dictionary written;
        written.reserve(entries->size());
        for (const auto& [key, entry] : *entries) {
            written.emplace_back(key, asWritten(entry));
        }
        return Object::dictionary(std::move(written));
    }
    return value;
}

std::optional<std::string> UserDefaultsFile::setAside(std::string* error) {
    std::string base = path_ + ".corrupt-" + utcTimestamp();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string target = attempt == 0 ? base : base + "-" + std::to_string(attempt);
        if (::renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
            seen_ = currentVersion(path_);
            removeLeftovers();
            return target;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    *error = std::strerror(errno);
    return std::nullopt;
}

void UserDefaultsFile::removeLeftovers() const {
    namespace fs = std::filesystem;
    const fs::path file(path_);
    const std::string temporaryPrefix = file.filename().string() + ".tmp-";
    const std::string damagedPrefix = file.filename().string() + ".corrupt-";
    const auto now = fs::file_time_type::clock::now();
    std::vector<std::pair<fs::file_time_type, fs::path>> damaged;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(file.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        const auto modified = entry.last_write_time(error);
        if (error || !entry.is_regular_file(error)) {
            continue;
        }
        if (name.starts_with(temporaryPrefix) && now - modified > std::chrono::seconds(10)) {
            fs::remove(entry.path(), error);
        } else if (name.starts_with(damagedPrefix)) {
            damaged.emplace_back(modified, entry.path());
        }
    }
    std::sort(damaged.begin(), damaged.end(), std::greater<>());
    for (size_t i = kKeptDamagedFiles; i < damaged.size(); ++i) {
        fs::remove(damaged[i].second, error);
    }
}

std::optional<UserDefaultsFile::Version> UserDefaultsFile::currentVersion(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return Version{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

bool UserDefaultsFile::sameVersion(const std::optional<Version>& a,
                                   const std::optional<Version>& b) {
    if (!a || !b) {
        return a.has_value() == b.has_value();
    }
    auto sameTime = [](const timespec& x, const timespec& y) {
        return x.tv_sec == y.tv_sec && x.tv_nsec == y.tv_nsec;
    };
    return a->device == b->device && a->inode == b->inode && a->size == b->size &&
           sameTime(a->modified, b->modified) && sameTime(a->changed, b->changed);
}

}  // namespace plinka
