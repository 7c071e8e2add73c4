#pragma once

#include "platform/KeyedArchive.h"

namespace plinka {

// Keyed archives in the platform's format, binary or XML, read and written over libplist.
// Damaged or hostile files yield Nil with the reason, never a crash, a hang or runaway memory.
class PlistKeyedArchives final : public KeyedArchives {
  public:
    Object unarchiveObjectWithFile(const std::string& path, const ClassTable& classes,
                                   std::string* error = nullptr) override;
    Object unarchiveObjectWithData(const std::vector<uint8_t>& data, const ClassTable& classes,
                                   std::string* error = nullptr) override;
    // Always the binary form.
    std::optional<std::vector<uint8_t>> archivedDataWithRootObject(const Object& root) override;
};

}  // namespace plinka
