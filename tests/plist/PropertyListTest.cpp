#include "platform/linux/plist/PropertyList.h"

#include <gtest/gtest.h>

namespace plinka {
namespace {

// Every type, as one dictionary, in the order both forms below write them.
Object everyType() {
    return Object::dictionary({
        {Object::string("name"), Object::string("Typewriter")},
        {Object::string("smile"), Object::string("caf\u00e9 \u263a")},
        {Object::string("count"), Object::integer(254)},
        {Object::string("negative"), Object::integer(-3)},
        {Object::string("big"), Object::integer(int64_t{1} << 40)},
        {Object::string("gain"), Object::real(0.75)},
        {Object::string("on"), Object::boolean(true)},
        {Object::string("off"), Object::boolean(false)},
        {Object::string("bytes"), Object::data({0, 1, 2, 255})},
        {Object::string("when"), Object::date(86400.5)},
        {Object::string("ref"), Object::uid(7)},
        {Object::string("list"), Object::array({Object::integer(1), Object::string("two")})},
    });
}

// The same, as macOS writes it (the accented string in UTF-16), read from its file; and XML.
TEST(PropertyListTest, ReadsBinaryAndXmlFilesAndReportsMissingOnes) {
    const std::string path = PLINKA_SOURCE_DIR "/tests/plist/data/every-type.bplist";
    std::string error;
    EXPECT_EQ(readPropertyListFile(path, &error), everyType()) << error;
    EXPECT_FALSE(readPropertyListFile(path + ".missing", &error));
    EXPECT_NE(error.find(path + ".missing"), std::string::npos);
    EXPECT_EQ(readPropertyListFile(PLINKA_SOURCE_DIR "/tests/plist/data/typed-values.xml", &error),
              Object::dictionary({
                  {Object::string("name"), Object::string("Type & writer A\u263a")},
                  {Object::string("count"), Object::integer(-12)},
                  {Object::string("gain"), Object::real(1.5)},
                  {Object::string("on"), Object::boolean(true)},
                  {Object::string("bytes"), Object::data({0, 1, 2, 255})},
                  {Object::string("when"), Object::date(86400)},
                  {Object::string("empty"), Object::array({})},
              }))
        << error;
}

TEST(PropertyListTest, WritesBothFormsThatReadBackEqual) {
    const Object value = everyType();
    auto binary = writeBinaryPropertyList(value);
    auto xml = writeXmlPropertyList(value);
    ASSERT_TRUE(binary && xml);
    EXPECT_EQ(std::string(binary->begin(), binary->begin() + 8), "bplist00");
    EXPECT_NE(std::string(xml->begin(), xml->end()).find("<plist"), std::string::npos);
    std::string error;
    auto fromBinary = readPropertyListData(*binary, &error);
    ASSERT_TRUE(fromBinary) << error;
    EXPECT_EQ(*fromBinary, value);
    // XML has no UID type, and its dates are whole seconds.
    auto withoutUid = Object::dictionary({{Object::string("list"), value.objectForKey("list")},
                                          {Object::string("when"), Object::date(86400)},
                                          {Object::string("smile"), value.objectForKey("smile")}});
    auto fromXml = readPropertyListData(*writeXmlPropertyList(withoutUid), &error);
    ASSERT_TRUE(fromXml) << error;
    EXPECT_EQ(*fromXml, withoutUid);
}

// The dates refused rather than misread are in tests/corpus.
TEST(PropertyListTest, XmlDatesAreReadToTheSecond) {
    const auto read = [](const std::string& date) {
        std::string error;
        const std::string text = "<plist version=\"1.0\">" + date + "</plist>";
        return readPropertyListData(Object::Bytes(text.begin(), text.end()), &error);
    };
    const std::pair<const char*, double> accepted[] = {
        {"2001-01-01T00:00:00Z", 0},
        {"2025-12-07T22:30:00Z", 786839400},
        {"2025-12-07T22:30:00.999Z", 786839400},
        {"2024-02-29T12:00:00Z", 730900800},
        {"1999-12-31T23:59:59Z", -31622401},
        {"1932-12-13T20:45:52Z", -2147483648.0},
        {"2069-01-19T03:14:07Z", 2147483647},
    };
    for (const auto& [text, seconds] : accepted) {
        EXPECT_EQ(read(std::string("<date>") + text + "</date>"), Object::date(seconds)) << text;
    }
}

}  // namespace
}  // namespace plinka
