#include "base/FileUrl.h"

namespace plinka::FileUrl {

namespace {

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/' || c == '!' || c == '$' || c == '&' ||
           c == '\'' || c == '(' || c == ')' || c == '*' || c == '+' || c == ',' || c == ';' ||
           c == '=' || c == ':' || c == '@';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string_view trimTrailingSlashes(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    return path;
}

bool hasScheme(std::string_view url) {
    const size_t colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0) {
        return false;
    }
    for (size_t i = 0; i < colon; ++i) {
        const char c = url[i];
        const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alpha && (i == 0 || !((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string fileURLWithPath(std::string_view path) {
    static const char* digits = "0123456789ABCDEF";
    std::string url = "file://";
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if (isUnreserved(c)) {
            url += ch;
        } else {
            url += '%';
            url += digits[c >> 4];
            url += digits[c & 0xF];
        }
    }
    return url;
}

std::optional<std::string> pathOfFileURL(std::string_view url) {
    constexpr std::string_view scheme = "file://";
    if (url.size() < scheme.size() || url.substr(0, scheme.size()) != scheme) {
        return std::nullopt;
    }
    std::string_view rest = url.substr(scheme.size());
    const size_t slash = rest.find('/');
    if (slash == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view host = rest.substr(0, slash);
    if (!host.empty() && host != "localhost") {
        return std::nullopt;
    }
    rest = rest.substr(slash);
    if (const size_t end = rest.find_first_of("?#"); end != std::string_view::npos) {
        rest = rest.substr(0, end);
    }
    std::string path;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%' && i + 2 < rest.size() && hexValue(rest[i + 1]) >= 0 &&
            hexValue(rest[i + 2]) >= 0) {
            const char decoded =
                static_cast<char>(hexValue(rest[i + 1]) * 16 + hexValue(rest[i + 2]));
            if (decoded == '\0') {
                return std::nullopt;
            }
            path += decoded;
            i += 2;
        } else {
            path += rest[i];
        }
    }
    return path;
}

std::string lastPathComponent(std::string_view path) {
    path = trimTrailingSlashes(path);
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos || path.size() == 1) {
        return std::string(path);
    }
    return std::string(path.substr(slash + 1));
}

std::string deletingLastPathComponent(std::string_view path) {
    path = trimTrailingSlashes(path);
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return "";
    }
    return slash == 0 ? "/" : std::string(path.substr(0, slash));
}

std::string appendingPathComponent(std::string_view path, std::string_view component) {
    if (path.empty()) {
        return std::string(component);
    }
    return std::string(path) + (path.ends_with('/') ? "" : "/") + std::string(component);
}

std::string stringByDeletingPathExtension(std::string_view path) {
    path = trimTrailingSlashes(path);
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    if (dot == std::string_view::npos || dot <= nameStart) {
        return std::string(path);
    }
    return std::string(path.substr(0, dot));
}

std::string pathExtension(std::string_view path) {
    const std::string name = lastPathComponent(path);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) {
        return {};
    }
    return name.substr(dot + 1);
}

std::string resolveUrl(std::string_view base, std::string_view relative) {
    if (base.empty() || hasScheme(relative)) {
        return std::string(relative);
    }
    std::string_view prefix = base;
    if (const size_t end = prefix.find_first_of("?#"); end != std::string_view::npos) {
        prefix = prefix.substr(0, end);
    }
    if (!relative.empty() && relative.front() == '/') {
        const size_t authority = prefix.find("://");
        const size_t pathStart = authority == std::string_view::npos
                                     ? prefix.find(':') + 1
                                     : prefix.find('/', authority + 3);
        return std::string(prefix.substr(
                   0, pathStart == std::string_view::npos ? prefix.size() : pathStart)) +
               std::string(relative);
    }
    const size_t lastSlash = prefix.rfind('/');
    return std::string(prefix.substr(0, lastSlash == std::string_view::npos ? 0 : lastSlash + 1)) +
           std::string(relative);
}

}  // namespace plinka::FileUrl
