#include "PlinkaSession.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "TestFiles.h"
#include "platform/linux/plist/PropertyList.h"

namespace plinka::testing {

namespace fs = std::filesystem;

namespace {

std::string sessionIdentifier() {
    static int sessions = 0;
    return "org.plinka.test" + std::to_string(::getpid()) + ".session" + std::to_string(++sessions);
}

// Links the bundle's files where it can (the build tree and /tmp may be one file system) and
// copies them where it cannot.
void copyBundle(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::create_hard_links, error);
    if (error) {
        fs::remove_all(to);
        fs::copy(from, to, fs::copy_options::recursive);
    }
}

// Replaces a file that may be a hard link into the build tree, leaving the original alone.
void replaceFile(const fs::path& path, const std::string& contents) {
    fs::remove(path);
    writeFile(path, contents);
}

}  // namespace

PlinkaSession::PlinkaSession(const std::string& display, const std::string& source)
    : display_(display),
      identifier_(sessionIdentifier()),
      bundle_(scratch_.path().string() + "/Plinka.app"),
      home_(scratch_.path().string() + "/home") {
    copyBundle(source.empty() ? PLINKA_BUNDLE_DIR : source, bundle_);
    const fs::path info = fs::path(bundle_) / "Contents/Info.plist";
    std::string plist = fileContents(info);
    const std::string builtIdentifier = "<string>org.plinka.Plinka</string>";
    const auto at = plist.find(builtIdentifier);
    if (at == std::string::npos) {
        throw std::runtime_error("the built Info.plist has no identifier to replace");
    }
    plist.replace(at, builtIdentifier.size(), "<string>" + identifier_ + "</string>");
    replaceFile(info, plist);
    for (const char* folder : {"config", "data", "cache", "state", "runtime", "tmp"}) {
        fs::create_directories(home_ + "/" + folder);
    }
    fs::permissions(home_ + "/runtime", fs::perms::owner_all);
    writeDefaults(Object::Dictionary{});
}

std::string PlinkaSession::audioFile(int copy) const {
    return scratch_.path().string() + "/mix-" + std::to_string(copy) + ".f32";
}

void PlinkaSession::useTheme(const std::string& themeFile) const {
    const fs::path file(themeFile);
    fs::copy_file(file, fs::path(bundle_) / "Contents/Resources/KeySoundThemes" / file.filename());
    writeDefaults({{Object::string("soundTheme"), Object::string(file.stem().string())}});
}

void PlinkaSession::writeDefaults(const Object::Dictionary& entries) const {
    // No test reaches out to the network unless it asks to.
    Object::Dictionary values{{Object::string("SUEnableAutomaticChecks"), Object::boolean(false)}};
    for (const auto& entry : entries) {
        std::erase_if(values, [&](const auto& value) { return value.first == entry.first; });
        values.push_back(entry);
    }
    const auto plist = writeXmlPropertyList(Object::dictionary(values));
    if (!plist) {
        throw std::invalid_argument("defaults that no property list holds");
    }
    writeFile(defaultsFile(), *plist);
}

std::string PlinkaSession::defaultsFile() const {
    return home_ + "/config/" + identifier_ + ".plist";
}

void PlinkaSession::addProgram(const std::string& name, const std::string& script) const {
    // First on the copies' PATH.
    const fs::path program = scratch_.path() / "bin" / name;
    replaceFile(program, script);
    fs::permissions(program, fs::perms::owner_all, fs::perm_options::add);
}

void PlinkaSession::placeBundleIn(const std::string& folder) {
    fs::create_directories(folder);
    const std::string moved = (fs::path(folder) / "Plinka.app").string();
    fs::rename(bundle_, moved);
    bundle_ = moved;
}

std::unique_ptr<ChildProcess> PlinkaSession::start(
    const std::vector<std::string>& arguments,
    const std::vector<std::pair<std::string, std::string>>& environment) {
    ChildProcess::Options options;
    if (!offersMove_) {
        options.arguments = {"-moveToApplicationsFolderAlertSuppress", "YES"};
    }
    options.arguments.insert(options.arguments.end(), arguments.begin(), arguments.end());
    options.mergeErrors = true;
    const char* path = std::getenv("PATH");
    options.environment = {
        {"DISPLAY", display_},
        {"QT_QPA_PLATFORM", "xcb"},
        {"HOME", home_},
        {"XDG_CONFIG_HOME", home_ + "/config"},
        {"XDG_DATA_HOME", home_ + "/data"},
        {"XDG_CACHE_HOME", home_ + "/cache"},
        {"XDG_STATE_HOME", home_ + "/state"},
        {"XDG_RUNTIME_DIR", home_ + "/runtime"},
        {"TMPDIR", home_ + "/tmp"},
        // No buses unless asked for: the tray falls back to the X11 system tray, sleep and wake
        // go unnoticed, scripting is off.
        {"DBUS_SESSION_BUS_ADDRESS", sessionBus_},
        {"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/plinka-system-bus"},
        {"SDL_AUDIODRIVER", "disk"},
        {"SDL_DISKAUDIOFILE", audioFile(started_)},
        {"PLINKA_INPUT", "x11"},
        {"PATH", directory() + "/bin:" + (path != nullptr ? path : "/usr/bin:/bin")},
    };
    for (const auto& [name, value] : environment) {
        std::erase_if(options.environment, [&](const auto& entry) { return entry.first == name; });
        options.environment.emplace_back(name, value);
    }
    ++started_;
    return std::make_unique<ChildProcess>(bundle_ + "/Contents/MacOS/Plinka", options);
}

}  // namespace plinka::testing
