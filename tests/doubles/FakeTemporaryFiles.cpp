#include "doubles/FakeTemporaryFiles.h"

#include <cstdio>

namespace plinka::testing {

std::optional<std::string> FakeTemporaryFiles::createUuidString() {
    if (!scriptedUuids.empty()) {
        auto uuid = scriptedUuids.front();
        scriptedUuids.pop_front();
        return uuid;
    }
    char text[37];
    std::snprintf(text, sizeof text, "00000000-0000-4000-8000-%012X", ++counter_);
    return std::string(text);
}

uint32_t ScriptedRandom::random32() {
    if (!numbers.empty()) {
        last_ = numbers.front();
        numbers.pop_front();
    }
    return last_;
}

}  // namespace plinka::testing
