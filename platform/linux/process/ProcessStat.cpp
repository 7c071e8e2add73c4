#include "platform/linux/process/ProcessStat.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <string>

namespace plinka {

namespace {

constexpr int kStartTimeField = 22;
// The first field after the command name is the state, field 3.
constexpr int kFirstFieldAfterName = 3;

}  // namespace

std::optional<uint64_t> startTimeFromStat(std::string_view statLine) {
    const size_t nameEnd = statLine.rfind(')');
    if (nameEnd == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view rest = statLine.substr(nameEnd + 1);
    for (int field = kFirstFieldAfterName;; ++field) {
        const size_t start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos) {
            return std::nullopt;
        }
        rest.remove_prefix(start);
        const size_t end = std::min(rest.find(' '), rest.size());
        if (field == kStartTimeField) {
            uint64_t value = 0;
            const auto [last, error] = std::from_chars(rest.data(), rest.data() + end, value);
            if (error != std::errc() || last != rest.data() + end) {
                return std::nullopt;
            }
            return value;
        }
        rest.remove_prefix(end);
    }
}

std::optional<uint64_t> readStartTime(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    const std::string line{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (!file.good() && !file.eof()) {
        return std::nullopt;
    }
    return startTimeFromStat(line);
}

}  // namespace plinka
