#include "base/Format.h"

#include <vector>

namespace plinka {

FormatArgument::FormatArgument(const std::optional<std::string>& value) {
    if (value) {
        value_ = std::string_view(*value);
    } else {
        value_ = nullptr;
    }
}

namespace {

void append(std::string& out, const FormatArgument& argument) {
    std::visit(
        [&out](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, int64_t>) {
                out += std::to_string(value);
            } else if constexpr (std::is_same_v<T, std::string_view>) {
                out += value;
            } else {
                out += "(null)";
            }
        },
        argument.value());
}

}  // namespace

std::string stringWithFormat(std::string_view format,
                             std::initializer_list<FormatArgument> arguments) {
    const std::vector<FormatArgument> args(arguments);
    std::string out;
    out.reserve(format.size() + 16);
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            out += format[i];
            continue;
        }
        size_t j = i + 1;
        if (format[j] == '%') {
            out += '%';
            i = j;
            continue;
        }
        // Positional form "%N$".
        size_t position = 0;
        size_t k = j;
        while (k < format.size() && format[k] >= '0' && format[k] <= '9') {
            position = position * 10 + static_cast<size_t>(format[k] - '0');
            ++k;
        }
        size_t index = next;
        if (position > 0 && k < format.size() && format[k] == '$') {
            index = position - 1;
            j = k + 1;
        }
        while (j < format.size() && format[j] == 'l') {
            ++j;
        }
        if (j >= format.size()) {
            out.append(format.substr(i));
            break;
        }
        const char conversion = format[j];
        if (conversion != '@' && conversion != 'd' && conversion != 's' && conversion != 'u' &&
            conversion != 'i') {
            out.append(format.substr(i, j - i + 1));
            i = j;
            continue;
        }
        if (index < args.size()) {
            append(out, args[index]);
        }
        if (index == next) {
            ++next;
        }
        i = j;
    }
    return out;
}

}  // namespace plinka
