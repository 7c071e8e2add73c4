#pragma once

#include <cstdint>

namespace plinka {

class Log;
class ProcessInformation;
class SystemAttributes;

// Where the running system's version comes from.
struct SystemVersionSources {
    const ProcessInformation& processInformation;
    const SystemAttributes& systemAttributes;
    Log& log;
};

// Fills the non-null targets with the running release: from the process information when it
// offers the triple, else from the attribute service; 10.0.0 (logged) when that fails.
void getSystemVersion(const SystemVersionSources& sources, uint32_t* major, uint32_t* minor,
                      uint32_t* bugFix);

// The release tests on a version triple: exactly 10.`release`, and 10.`release` or a later one.
bool isRelease(uint32_t major, uint32_t minor, uint32_t release);
bool isReleaseOrHigher(uint32_t major, uint32_t minor, uint32_t release);

}  // namespace plinka
