#include "platform/linux/system/DesktopEntry.h"

#include <cctype>

namespace plinka::DesktopEntry {

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// Undoes the escapes of a string value: \s \n \t \r \\.
std::string unescapedValue(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                out += '\\';
                out += value[i];
        }
    }
    return out;
}

std::string escapedValue(std::string_view value) {
    std::string out;
    for (const char c : value) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// One argument of an Exec value, double-quoted so that any character survives.
std::string quotedArgument(std::string_view argument) {
    std::string out = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            out += '\\';
        }
        out += c;
        if (c == '%') {
            out += '%';
        }
    }
    out += '"';
    return out;
}

std::string withoutDoubledPercents(std::string_view argument) {
    std::string out;
    for (size_t i = 0; i < argument.size(); ++i) {
        out += argument[i];
        if (argument[i] == '%' && i + 1 < argument.size() && argument[i + 1] == '%') {
            ++i;
        }
    }
    return out;
}

// The path moved into `to` when it lies in `from`.
std::optional<std::string> movedPath(std::string_view path, std::string_view from,
                                     std::string_view to) {
    if (path == from || (path.substr(0, from.size()) == from && path.size() > from.size() &&
                         path[from.size()] == '/')) {
        return std::string(to) + std::string(path.substr(from.size()));
    }
    return std::nullopt;
}

// A field code (%f, %U, ...) stands bare in an Exec value; any other argument is quoted.
std::string execArgument(std::string_view argument) {
    const bool fieldCode = argument.size() == 2 && argument[0] == '%' &&
                           std::isalpha(static_cast<unsigned char>(argument[1]));
    return fieldCode ? std::string(argument) : quotedArgument(argument);
}

// The value with its paths moved; nullopt when nothing in it moved.
std::optional<std::string> movedValue(std::string_view key, std::string_view value,
                                      std::string_view from, std::string_view to) {
    if (key == "TryExec" || key == "Path" || key == "Icon") {
        return movedPath(value, from, to);
    }
    if (key != "Exec") {
        return std::nullopt;
    }
    std::vector<std::string> arguments = execArguments(value);
    bool moved = false;
    for (std::string& argument : arguments) {
        if (auto path = movedPath(argument, from, to)) {
            argument = *path;
            moved = true;
        }
    }
    if (!moved) {
        return std::nullopt;
    }
    std::string exec;
    for (const std::string& argument : arguments) {
        exec += (exec.empty() ? "" : " ") + execArgument(argument);
    }
    return exec;
}

}  // namespace

std::optional<std::string> withPathsMoved(std::string_view text, std::string_view from,
                                          std::string_view to) {
    std::string result;
    bool inMainGroup = false;
    bool moved = false;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        const std::string_view ending = end == std::string_view::npos ? "" : "\n";
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::string_view content = trimmed(line);
        if (!content.empty() && content.front() == '[') {
            inMainGroup = content == "[Desktop Entry]";
        }
        const size_t equals = content.find('=');
        if (inMainGroup && equals != std::string_view::npos && content.front() != '#') {
            const std::string_view key = trimmed(content.substr(0, equals));
            const std::string value = unescapedValue(trimmed(content.substr(equals + 1)));
            if (auto changed = movedValue(key, value, from, to)) {
                result += std::string(key) + "=" + escapedValue(*changed) + std::string(ending);
                moved = true;
                continue;
            }
        }
        result += std::string(line) + std::string(ending);
    }
    return moved ? std::optional<std::string>(result) : std::nullopt;
}

std::map<std::string, std::string> readMainGroup(std::string_view text) {
    std::map<std::string, std::string> keys;
    bool inMainGroup = false;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const size_t equals = line.find('=');
        if (!inMainGroup || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = trimmed(line.substr(0, equals));
        if (key.find('[') == std::string_view::npos) {
            keys.try_emplace(std::string(key), unescapedValue(trimmed(line.substr(equals + 1))));
        }
    }
    return keys;
}

std::vector<std::string> execArguments(std::string_view exec) {
    std::vector<std::string> arguments;
    size_t i = 0;
    while (i < exec.size()) {
        if (exec[i] == ' ' || exec[i] == '\t') {
            ++i;
            continue;
        }
        std::string argument;
        if (exec[i] == '"') {
            for (++i; i < exec.size() && exec[i] != '"'; ++i) {
                if (exec[i] == '\\' && i + 1 < exec.size()) {
                    ++i;
                }
                argument += exec[i];
            }
            ++i;  // the closing quote
        } else {
            for (; i < exec.size() && exec[i] != ' ' && exec[i] != '\t'; ++i) {
                argument += exec[i];
            }
        }
        arguments.push_back(withoutDoubledPercents(argument));
    }
    return arguments;
}

std::string execProgram(std::string_view exec) {
    const std::vector<std::string> arguments = execArguments(exec);
    size_t first = 0;
    if (!arguments.empty() && arguments[0] == "env") {
        first = 1;
        while (first < arguments.size() && arguments[first].find('=') != std::string::npos) {
            ++first;
        }
    }
    return first < arguments.size() ? arguments[first] : std::string();
}

std::string applicationEntry(std::string_view name, std::string_view program) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           escapedValue(name) +
           "\n"
           "Exec=" +
           escapedValue(quotedArgument(program)) +
           " --background\n"
           "X-GNOME-Autostart-enabled=true\n";
}

}  // namespace plinka::DesktopEntry
