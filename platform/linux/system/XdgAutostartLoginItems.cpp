#include "platform/linux/system/XdgAutostartLoginItems.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "base/FileUrl.h"
#include "platform/linux/XdgBaseDirectory.h"
#include "platform/linux/system/DesktopEntry.h"
#include "platform/linux/system/ProgramSearch.h"

namespace plinka {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBundleExecutableFolder = "/Contents/MacOS/";

std::optional<std::string> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool exists(const std::string& path, uint32_t flags) {
    struct stat info {};
    const int statFlags = (flags & kLoginItemResolveNoMountVolumes) != 0 ? AT_NO_AUTOMOUNT : 0;
    return ::fstatat(AT_FDCWD, path.c_str(), &info, statFlags) == 0;
}

// The bundle that holds the program (".../X.app/Contents/MacOS/x" is in X.app), else the program.
std::string bundleOrProgram(const std::string& program) {
    const size_t folder = program.rfind(kBundleExecutableFolder);
    if (folder != std::string::npos &&
        program.find('/', folder + kBundleExecutableFolder.size()) == std::string::npos) {
        const std::string bundle = program.substr(0, folder);
        if (bundle.ends_with(".app")) {
            return bundle;
        }
    }
    return program;
}

// The executable that starting the bundle (or plain program) at `path` runs.
std::optional<std::string> executableToStart(const std::string& path) {
    if (!path.ends_with(".app")) {
        return isExecutableFile(path) ? std::optional(path) : std::nullopt;
    }
    const fs::path folder = fs::path(path + std::string(kBundleExecutableFolder));
    const fs::path named = folder / fs::path(path).stem();
    if (isExecutableFile(named)) {
        return named.string();
    }
    std::error_code error;
    for (const auto& file : fs::directory_iterator(folder, error)) {
        if (isExecutableFile(file.path())) {
            return file.path().string();
        }
    }
    return std::nullopt;
}

class AutostartEntry final : public LoginItem {
  public:
    AutostartEntry(fs::path file, std::optional<std::string> program)
        : file_(std::move(file)), program_(std::move(program)) {}

    std::optional<std::string> resolvedPath(uint32_t flags) const override {
        if (!program_ || !exists(*program_, flags)) {
            return std::nullopt;
        }
        return bundleOrProgram(*program_);
    }

    const fs::path& file() const { return file_; }

  private:
    fs::path file_;
    // The program the entry starts, made absolute; absent when the session would not start it.
    std::optional<std::string> program_;
};

// The program an entry's text starts at login; nullopt when it starts nothing.
std::optional<std::string> programOfEntry(std::string_view text) {
    const auto keys = DesktopEntry::readMainGroup(text);
    const auto value = [&keys](const std::string& key) {
        const auto found = keys.find(key);
        return found != keys.end() ? found->second : std::string();
    };
    if (value("Hidden") == "true" || value("X-GNOME-Autostart-enabled") == "false") {
        return std::nullopt;
    }
    const std::string program = DesktopEntry::execProgram(value("Exec"));
    if (program.empty()) {
        return std::nullopt;
    }
    if (program.find('/') == std::string::npos) {
        return programInPath(program);
    }
    return fs::absolute(program).lexically_normal().string();
}

class AutostartFolder final : public LoginItemsList {
  public:
    explicit AutostartFolder(fs::path directory) : directory_(std::move(directory)) {}

    std::vector<std::shared_ptr<const LoginItem>> snapshot() const override {
        struct Found {
            fs::file_time_type written;
            fs::path file;
        };
        std::vector<Found> files;
        std::error_code error;
        for (const auto& file : fs::directory_iterator(directory_, error)) {
            std::error_code fileError;
            if (file.path().extension() == ".desktop" && file.is_regular_file(fileError)) {
                files.push_back({file.last_write_time(fileError), file.path()});
            }
        }
        std::sort(files.begin(), files.end(), [](const Found& a, const Found& b) {
            return a.written != b.written ? a.written < b.written : a.file < b.file;
        });
        std::vector<std::shared_ptr<const LoginItem>> entries;
        for (const auto& found : files) {
            const auto text = readFile(found.file);
            entries.push_back(std::make_shared<AutostartEntry>(
                found.file, text ? programOfEntry(*text) : std::nullopt));
        }
        return entries;
    }

    void remove(const LoginItem& item) override {
        if (const auto* entry = dynamic_cast<const AutostartEntry*>(&item)) {
            std::error_code error;
            fs::remove(entry->file(), error);
        }
    }

    bool insertItemURLLast(const std::string& fileUrl) override {
        const auto path = FileUrl::pathOfFileURL(fileUrl);
        if (!path) {
            return false;
        }
        const std::string target = fs::path(*path).lexically_normal().string();
        const auto program = executableToStart(target);
        if (!program) {
            return false;
        }
        std::error_code error;
        fs::create_directories(directory_, error);
        const std::string name = fs::path(FileUrl::lastPathComponent(target)).stem().string();
        const fs::path file = unusedFileName(name);
        const fs::path written = file.string() + ".part";
        {
            std::ofstream out(written, std::ios::binary | std::ios::trunc);
            out << DesktopEntry::applicationEntry(name, *program);
            if (!out.flush()) {
                fs::remove(written, error);
                return false;
            }
        }
        // Renamed into place so the session never reads half an entry.
        fs::rename(written, file, error);
        if (error) {
            fs::remove(written, error);
            return false;
        }
        return true;
    }

  private:
    // "<name>.desktop", or "<name>-2.desktop" and on while an entry that did not resolve to
    // this application still holds the name.
    fs::path unusedFileName(const std::string& name) const {
        fs::path file = directory_ / (name + ".desktop");
        std::error_code error;
        for (int number = 2; fs::exists(file, error); ++number) {
            file = directory_ / (name + "-" + std::to_string(number) + ".desktop");
        }
        return file;
    }

    fs::path directory_;
};

}  // namespace

std::optional<std::string> XdgAutostartLoginItems::defaultDirectory() {
    const auto config = xdgBaseDirectory("XDG_CONFIG_HOME", ".config");
    if (!config) {
        return std::nullopt;
    }
    return *config + "/autostart";
}

std::unique_ptr<LoginItemsList> XdgAutostartLoginItems::openSessionLoginItems() {
    if (!directory_) {
        return nullptr;
    }
    return std::make_unique<AutostartFolder>(*directory_);
}

}  // namespace plinka
