#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "base/Object.h"

namespace plinka {

class Bundle;
class CommandRunner;
class Log;
class ProcessInformation;
class SystemAttributes;

// What the application and system information reads from.
struct SystemInformationServices {
    Log& log;
    const Bundle& mainBundle;
    const ProcessInformation& processInformation;
    const SystemAttributes& systemAttributes;
    CommandRunner& commands;
};

// The shell command of the macOS layer: a digest of the hardware serial number.
constexpr std::string_view kSerialNumberDigestCommand =
    "ioreg -l | awk '/IOPlatformSerialNumber/ { split($0, line, \"\\\"\"); printf(\"%s\", "
    "line[4]); }' | openssl sha1";

// The application's questions about the running system and about its own bundle. One object
// stands for the application; it keeps the machine identifier once it is known.
class PLKAdditions {
  public:
    explicit PLKAdditions(const SystemInformationServices& services) : services_(services) {}
    PLKAdditions(const PLKAdditions&) = delete;
    PLKAdditions& operator=(const PLKAdditions&) = delete;

    // Fills the non-null targets with the running release.
    void getSystemVersionMajor(uint32_t* major, uint32_t* minor, uint32_t* bugFix) const;

    // Whether the running release is exactly 10.5 ... 10.13.
    bool systemIsLeopard() const { return systemIsRelease(5); }
    bool systemIsSnowLeopard() const { return systemIsRelease(6); }
    bool systemIsLion() const { return systemIsRelease(7); }
    bool systemIsMountainLion() const { return systemIsRelease(8); }
    bool systemIsMavericks() const { return systemIsRelease(9); }
    bool systemIsYosemite() const { return systemIsRelease(10); }
    bool systemIsElCapitan() const { return systemIsRelease(11); }
    bool systemIsSierra() const { return systemIsRelease(12); }
    bool systemIsHighSierra() const { return systemIsRelease(13); }

    // Whether the running release is 10.5 ... 10.13 or a later one.
    bool systemIsLeopardOrHigher() const { return systemIsReleaseOrHigher(5); }
    bool systemIsSnowLeopardOrHigher() const { return systemIsReleaseOrHigher(6); }
    bool systemIsLionOrHigher() const { return systemIsReleaseOrHigher(7); }
    bool systemIsMountainLionOrHigher() const { return systemIsReleaseOrHigher(8); }
    bool systemIsMavericksOrHigher() const { return systemIsReleaseOrHigher(9); }
    bool systemIsYosemiteOrHigher() const { return systemIsReleaseOrHigher(10); }
    bool systemIsElCapitanOrHigher() const { return systemIsReleaseOrHigher(11); }
    bool systemIsSierraOrHigher() const { return systemIsReleaseOrHigher(12); }
    bool systemIsHighSierraOrHigher() const { return systemIsReleaseOrHigher(13); }

    // The main bundle's value for the key, the localized dictionary first; Nil when absent.
    Object infoValueForKey(std::string_view key) const;
    // "NSHumanReadableCopyright".
    std::optional<std::string> applicationCopyrightInformation() const;
    // "CFBundleName", or "No Name".
    std::string applicationName() const;
    // "CFBundleShortVersionString".
    std::optional<std::string> applicationShortVersionString() const;
    // "CFBundleVersion".
    std::optional<std::string> applicationVersion() const;
    // "CFBundleIdentifier".
    std::optional<std::string> applicationIdentifier() const;

    // The machine identifier: the trimmed output of the process information's identifier
    // command, run once it succeeds; nullopt while it fails. Callable from any thread; blocks
    // until the command has finished.
    std::optional<std::string> uuid();

  private:
    bool systemIsRelease(uint32_t release) const;
    bool systemIsReleaseOrHigher(uint32_t release) const;
    std::optional<std::string> infoStringForKey(std::string_view key) const;

    SystemInformationServices services_;
    std::mutex uuidLock_;
    std::optional<std::string> uuid_;
};

}  // namespace plinka
