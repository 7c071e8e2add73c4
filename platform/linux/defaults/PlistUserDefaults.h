#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/DefaultsDomains.h"
#include "platform/UserDefaults.h"
#include "platform/linux/defaults/UserDefaultsFile.h"

class QFileSystemWatcher;

namespace plinka {

class Log;

// The user's defaults in "<directory>/<bundle identifier>.plist", kept on disk after every
// change. The file is watched: a change another program makes reaches the observers on a later
// turn of the Qt event loop. A damaged file is set aside under another name and logged, and the
// registered defaults apply. Dates are kept to the whole second, as the XML form holds them.
// Needs a Qt event loop on the thread that uses it.
class PlistUserDefaults final : public UserDefaults {
  public:
    // Where users' defaults files live: $XDG_CONFIG_HOME when it is an absolute path, else
    // ~/.config.
    static std::string standardDirectory();

    // Reads the file (making the directory when missing) and starts watching it. The "-key value"
    // pairs of `arguments` (the command line without the program's name) override every other
    // value for this run and are never written.
    PlistUserDefaults(const std::string& directory, const std::string& bundleIdentifier, Log& log,
                      const std::vector<std::string>& arguments = {});
    // Writes what could not be written before.
    ~PlistUserDefaults() override;

    PlistUserDefaults(const PlistUserDefaults&) = delete;
    PlistUserDefaults& operator=(const PlistUserDefaults&) = delete;

    void registerDefaults(const Object& dictionary) override;
    Object objectForKey(std::string_view key) const override;
    void setObject(const Object& value, std::string_view key) override;
    bool synchronize() override;
    ObserverToken addObserver(std::string key, Observer observer) override;
    void removeObserver(ObserverToken token) override;

    // The file the defaults are kept in.
    const std::string& path() const { return file_.path(); }

  private:
    using Values = UserDefaultsFile::Values;

    void loadAtStart();
    // Takes in the file when someone else changed it; answers whether it did.
    bool readOutsideChanges();
    void takeInOutsideChanges();
    // Writes the stored values; a damaged file is set aside first so nothing in it is lost.
    bool store();
    bool setAsideDamagedFile();
    void watch();
    void watchPaths();
    void scheduleOutsideChangeCheck();
    // Logs a failure to keep the values on disk once, until a write succeeds again.
    void reportWriteFailure(const std::string& message);

    Log& log_;
    std::string directory_;
    UserDefaultsFile file_;
    DefaultsDomains domains_;
    // Changes not yet on disk (Nil for a removal); laid over what the file holds when it is read.
    Values unwritten_;
    bool fileDamaged_ = false;
    std::string damage_;
    bool fileUnreadable_ = false;
    bool writeFailing_ = false;
    bool checkScheduled_ = false;
    std::unique_ptr<QFileSystemWatcher> watcher_;
};

}  // namespace plinka
