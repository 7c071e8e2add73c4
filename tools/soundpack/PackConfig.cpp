#include "tools/soundpack/PackConfig.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace plinka::soundpack {

namespace {

bool isJsonBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string position(const std::string& text, int offset) {
    int line = 1;
    int column = 1;
    for (int i = 0; i < offset && i < static_cast<int>(text.size()); ++i) {
        if (text[static_cast<size_t>(i)] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace

std::string blankTrailingCommas(std::string text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.replace(0, 3, "   ");
    }
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == ',') {
            size_t next = i + 1;
            while (next < text.size() && isJsonBlank(text[next])) {
                ++next;
            }
            if (next < text.size() && (text[next] == '}' || text[next] == ']')) {
                text[i] = ' ';
            }
            i = next - 1;
        }
    }
    return text;
}

std::optional<QJsonObject> parsePackConfig(const std::vector<uint8_t>& bytes, std::string& error) {
    const std::string text =
        blankTrailingCommas(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(text.data(), static_cast<qsizetype>(text.size())), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = "config.json: not valid JSON (" + position(text, parseError.offset) + ": " +
                parseError.errorString().toStdString() + ")";
        return std::nullopt;
    }
    if (!document.isObject()) {
        error = "config.json: not a JSON object";
        return std::nullopt;
    }
    return document.object();
}

}  // namespace plinka::soundpack
