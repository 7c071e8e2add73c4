#pragma once

#include <cstdint>

namespace plinka {

// The system's attribute service, queried by four-character selector ('sysv', 'sys1', ...).
class SystemAttributes {
  public:
    virtual ~SystemAttributes() = default;
    // 0 with the attribute's value stored in `response`, or the service's error code (negative).
    virtual int16_t attribute(uint32_t selector, int32_t* response) const = 0;
};

// The selectors the version query uses.
constexpr uint32_t kSystemVersionSelector = 0x73797376;        // 'sysv', packed BCD
constexpr uint32_t kSystemVersionMajorSelector = 0x73797331;   // 'sys1'
constexpr uint32_t kSystemVersionMinorSelector = 0x73797332;   // 'sys2'
constexpr uint32_t kSystemVersionBugFixSelector = 0x73797333;  // 'sys3'

}  // namespace plinka
