#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "support/URLEncode.h"

namespace plinka::testing {
namespace {

TEST(URLEncode, OnlyLettersDigitsAndFourMarksStayEverythingElseIsEscapedPerUtf8Byte) {
    const std::pair<std::string, std::string> cases[] = {
        {"AZaz09-_.~", "AZaz09-_.~"},
        {"a b&@\n", "a%20b%26%40%0A"},
        {"!*'();:@&=+$,/?%#[]", "%21%2A%27%28%29%3B%3A%40%26%3D%2B%24%2C%2F%3F%25%23%5B%5D"},
        {"Grüße € 😀", "Gr%C3%BC%C3%9Fe%20%E2%82%AC%20%F0%9F%98%80"},
    };
    for (const auto& [text, encoded] : cases) {
        EXPECT_EQ(URLEncode::urlEncode(text), encoded) << text;
    }
    // Every byte on its own.
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        const bool kept = std::isalnum(byte) != 0 && byte < 128;
        const bool mark = c == '-' || c == '_' || c == '.' || c == '~';
        EXPECT_EQ(URLEncode::urlEncode(std::string(1, c)).size(), kept || mark ? 1u : 3u) << byte;
    }
}

}  // namespace
}  // namespace plinka::testing
