#include "platform/linux/defaults/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace plinka {

namespace {

std::string describeErrno(const char* step, const std::string& path) {
    return std::string(step) + " " + path + ": " + std::strerror(errno);
}

bool writeAll(int descriptor, const std::vector<uint8_t>& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        ssize_t count = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            if (count == 0) {
                errno = EIO;
            }
            return false;
        }
        written += static_cast<std::size_t>(count);
    }
    return true;
}

std::string directoryOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The rename is only durable once the directory entry itself reaches the disk.
bool syncDirectory(const std::string& directory) {
    int descriptor = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    bool synced = ::fsync(descriptor) == 0;
    ::close(descriptor);
    return synced;
}

}  // namespace

bool writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string* error) {
    std::string temporary = path + ".tmp-XXXXXX";
    int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) {
        *error = describeErrno("cannot create", temporary);
        return false;
    }
    const char* failedStep = nullptr;
    int failure = 0;
    auto fail = [&](const char* step) {
        if (failedStep == nullptr) {
            failedStep = step;
            failure = errno;
        }
    };
    if (!writeAll(descriptor, bytes)) {
        fail("cannot write");
    } else if (::fsync(descriptor) != 0) {
        fail("cannot flush");
    }
    if (::close(descriptor) != 0) {
        fail("cannot close");
    }
    if (failedStep == nullptr && ::rename(temporary.c_str(), path.c_str()) != 0) {
        fail("cannot rename to its place");
    }
    if (failedStep != nullptr) {
        ::unlink(temporary.c_str());
        errno = failure;
        *error = describeErrno(failedStep, temporary);
        return false;
    }
    if (!syncDirectory(directoryOf(path))) {
        *error = describeErrno("cannot flush the directory of", path);
        return false;
    }
    return true;
}

bool makeDirectories(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode);
    }
    auto slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !makeDirectories(path.substr(0, slash))) {
        return false;
    }
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace plinka
