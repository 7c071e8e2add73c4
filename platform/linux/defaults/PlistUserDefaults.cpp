#include "platform/linux/defaults/PlistUserDefaults.h"

#include <pwd.h>
#include <unistd.h>

#include <sys/stat.h>
#include <QFileSystemWatcher>
#include <QTimer>
#include <algorithm>
#include <cstdlib>

#include "base/Log.h"
#include "platform/linux/defaults/AtomicFile.h"
#include "platform/linux/plist/PropertyList.h"

namespace plinka {

namespace {

// A bundle identifier names one file in the directory, never a path.
std::string fileNameFor(const std::string& bundleIdentifier) {
    std::string name = bundleIdentifier;
    std::replace(name.begin(), name.end(), '/', '_');
    if (name.empty() || name == "." || name == "..") {
        name = "_" + name;
    }
    return name + ".plist";
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

std::string PlistUserDefaults::standardDirectory() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') {
        return configHome;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const passwd* user = ::getpwuid(::getuid());
        home = user != nullptr ? user->pw_dir : "/";
    }
    return std::string(home) + "/.config";
}

PlistUserDefaults::PlistUserDefaults(const std::string& directory,
                                     const std::string& bundleIdentifier, Log& log,
                                     const std::vector<std::string>& arguments)
    : log_(log), directory_(directory), file_(directory + "/" + fileNameFor(bundleIdentifier)) {
    domains_.setArguments(DefaultsDomains::argumentDomain(arguments));
    if (!makeDirectories(directory_)) {
        log_.log("Cannot make the defaults directory " + directory_ +
                 "; changes to the defaults are kept in memory only");
    }
    file_.removeLeftovers();
    loadAtStart();
    watch();
}

PlistUserDefaults::~PlistUserDefaults() {
    readOutsideChanges();
    if (!unwritten_.empty()) {
        store();
    }
}

void PlistUserDefaults::registerDefaults(const Object& dictionary) {
    if (const Object::Dictionary* entries = dictionary.dictionaryValue()) {
        domains_.changeAndNotify([&] { domains_.registerValues(*entries); });
    }
}

Object PlistUserDefaults::objectForKey(std::string_view key) const {
    return domains_.objectForKey(key);
}

void PlistUserDefaults::setObject(const Object& given, std::string_view key) {
    // Kept as the file keeps it, so a later launch reads back exactly what this one sees.
    const Object value = UserDefaultsFile::asWritten(given);
    if (!value.isNil() && !writeXmlPropertyList(value)) {
        log_.log("Refused to store a " + std::string(value.className()) + " under the default \"" +
                 std::string(key) + "\": only property-list values can be stored");
        return;
    }
    takeInOutsideChanges();
    domains_.changeAndNotify([&] {
        if (domains_.store(key, value)) {
            unwritten_.insert_or_assign(std::string(key), value);
            store();
        }
    });
}

bool PlistUserDefaults::synchronize() {
    takeInOutsideChanges();
    if (!unwritten_.empty()) {
        store();
    }
    return unwritten_.empty();
}

UserDefaults::ObserverToken PlistUserDefaults::addObserver(std::string key, Observer observer) {
    return domains_.addObserver(std::move(key), std::move(observer));
}

void PlistUserDefaults::removeObserver(ObserverToken token) {
    domains_.removeObserver(token);
}

void PlistUserDefaults::loadAtStart() {
    UserDefaultsFile::Contents contents = file_.read();
    switch (contents.state) {
        case UserDefaultsFile::State::Loaded:
            domains_.stored() = std::move(contents.values);
            break;
        case UserDefaultsFile::State::Missing:
            break;
        case UserDefaultsFile::State::Damaged:
            damage_ = contents.problem;
            setAsideDamagedFile();
            break;
        case UserDefaultsFile::State::Unreadable:
            fileUnreadable_ = true;
            log_.log("Cannot read the defaults file " + file_.path() + " (" + contents.problem +
                     "); the registered defaults apply and changes are kept in memory only");
            break;
    }
}

bool PlistUserDefaults::readOutsideChanges() {
    if (!file_.changedSinceSeen()) {
        return false;
    }
    UserDefaultsFile::Contents contents = file_.read();
    switch (contents.state) {
        case UserDefaultsFile::State::Loaded:
            domains_.stored() = std::move(contents.values);
            break;
        case UserDefaultsFile::State::Missing:
            domains_.stored().clear();
            break;
        case UserDefaultsFile::State::Damaged:
            // Perhaps another program is half way through writing it: keep what we have, and set
            // the file aside only when it is about to be replaced.
            fileDamaged_ = true;
            damage_ = contents.problem;
            return false;
        case UserDefaultsFile::State::Unreadable:
            if (!fileUnreadable_) {
                log_.log("Cannot read the defaults file " + file_.path() + " (" + contents.problem +
                         "); changes to the defaults are kept in memory only");
            }
            fileUnreadable_ = true;
            return false;
    }
    fileDamaged_ = false;
    fileUnreadable_ = false;
    for (const auto& [key, value] : unwritten_) {
        domains_.store(key, value);
    }
    return true;
}

void PlistUserDefaults::takeInOutsideChanges() {
    domains_.changeAndNotify([&] {
        if (readOutsideChanges() && !unwritten_.empty()) {
            store();
        }
    });
}

bool PlistUserDefaults::store() {
    if (fileUnreadable_ || (fileDamaged_ && !setAsideDamagedFile())) {
        return false;
    }
    std::string error;
    if (!file_.write(domains_.stored(), &error)) {
        reportWriteFailure("Cannot write the defaults file (" + error +
                           "); changes to the defaults are kept in memory only");
        return false;
    }
    writeFailing_ = false;
    unwritten_.clear();
    watchPaths();
    return true;
}

bool PlistUserDefaults::setAsideDamagedFile() {
    std::string error;
    std::optional<std::string> aside = file_.setAside(&error);
    if (!aside) {
        fileDamaged_ = true;
        reportWriteFailure("The defaults file " + file_.path() + " is damaged (" + damage_ +
                           ") and cannot be set aside (" + error +
                           "); the registered defaults apply");
        return false;
    }
    fileDamaged_ = false;
    log_.log("The defaults file " + file_.path() + " is damaged (" + damage_ + "); kept it as " +
             *aside + ", the registered defaults apply");
    return true;
}

void PlistUserDefaults::reportWriteFailure(const std::string& message) {
    if (!writeFailing_) {
        log_.log(message);
    }
    writeFailing_ = true;
}

void PlistUserDefaults::watch() {
    watcher_ = std::make_unique<QFileSystemWatcher>();
    watchPaths();
    auto changed = [this] { scheduleOutsideChangeCheck(); };
    QObject::connect(watcher_.get(), &QFileSystemWatcher::directoryChanged, watcher_.get(),
                     changed);
    QObject::connect(watcher_.get(), &QFileSystemWatcher::fileChanged, watcher_.get(), changed);
}

// The directory tells of the file being replaced or made, the file of edits in place. A watch
// ends when its path goes away, so both are renewed after every notice.
void PlistUserDefaults::watchPaths() {
    QString directory = QString::fromStdString(directory_);
    if (!watcher_->directories().contains(directory) && exists(directory_)) {
        watcher_->addPath(directory);
    }
    QString path = QString::fromStdString(file_.path());
    if (!watcher_->files().contains(path) && exists(file_.path())) {
        watcher_->addPath(path);
    }
}

// A burst of notices (a write makes several) is answered by one look at the file.
void PlistUserDefaults::scheduleOutsideChangeCheck() {
    if (checkScheduled_) {
        return;
    }
    checkScheduled_ = true;
    QTimer::singleShot(0, watcher_.get(), [this] {
        checkScheduled_ = false;
        watchPaths();
        takeInOutsideChanges();
    });
}

}  // namespace plinka
