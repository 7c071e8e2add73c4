#include "support/SystemVersion.h"

#include <array>

#include "base/Format.h"
#include "base/Log.h"
#include "platform/ProcessInformation.h"
#include "platform/SystemAttributes.h"

namespace plinka {

namespace {

void store(uint32_t* target, uint32_t value) {
    if (target != nullptr) {
        *target = value;
    }
}

// The packed value of releases before 10.4.0 is binary-coded decimal: 0x1039 is 10.3.9.
constexpr int32_t kFirstUnpackedRelease = 0x1040;

}  // namespace

void getSystemVersion(const SystemVersionSources& sources, uint32_t* major, uint32_t* minor,
                      uint32_t* bugFix) {
    if (const auto version = sources.processInformation.operatingSystemVersion()) {
        store(major, static_cast<uint32_t>(version->majorVersion));
        store(minor, static_cast<uint32_t>(version->minorVersion));
        store(bugFix, static_cast<uint32_t>(version->patchVersion));
        return;
    }

    int32_t packed = 0;
    int16_t error = sources.systemAttributes.attribute(kSystemVersionSelector, &packed);
    if (error == 0) {
        if (packed < kFirstUnpackedRelease) {
            const auto response = static_cast<uint32_t>(packed);
            store(major, ((response >> 12) & 0xF) * 10 + ((response >> 8) & 0xF));
            store(minor, (response >> 4) & 0xF);
            store(bugFix, response & 0xF);
            return;
        }
        constexpr std::array selectors{kSystemVersionMajorSelector, kSystemVersionMinorSelector,
                                       kSystemVersionBugFixSelector};
        std::array<int32_t, 3> parts{};
        for (size_t i = 0; i < selectors.size() && error == 0; ++i) {
            error = sources.systemAttributes.attribute(selectors[i], &parts[i]);
        }
        if (error == 0) {
            store(major, static_cast<uint32_t>(parts[0]));
            store(minor, static_cast<uint32_t>(parts[1]));
            store(bugFix, static_cast<uint32_t>(parts[2]));
            return;
        }
    }

    sources.log.log(
        stringWithFormat("Unable to obtain system version: %ld", {static_cast<long>(error)}));
    store(major, 10);
    store(minor, 0);
    store(bugFix, 0);
}

bool isRelease(uint32_t major, uint32_t minor, uint32_t release) {
    return major == 10 && minor == release;
}

bool isReleaseOrHigher(uint32_t major, uint32_t minor, uint32_t release) {
    return major > 10 || (major == 10 && minor >= release);
}

}  // namespace plinka
