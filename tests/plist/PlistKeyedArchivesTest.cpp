#include "platform/linux/plist/PlistKeyedArchives.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/linux/plist/PropertyList.h"
#include "plist/Chime.h"

namespace plinka {
namespace {

using testing::Chime;

Object str(const char* text) {
    return Object::string(text);
}

// An archive as macOS lays it out: the Foundation classes' own forms (mutable subclasses, the
// old NS.object.N arrays, URLs on bases), a class of ours shared by two slots of a subclass we
// don't know, and a class we don't know at all; binary or XML.
TEST(PlistKeyedArchivesTest, DecodesTheFormsMacOSWritesAndOwnClassesThroughTheClassTable) {
    PlistKeyedArchives archives;
    std::string error;
    const std::string file = PLINKA_SOURCE_DIR "/tests/plist/data/foundation.plnk";
    Object decoded = archives.unarchiveObjectWithFile(file, Chime::classes(), &error);
    ASSERT_FALSE(decoded.isNil()) << error;
    const Object::Dictionary expected{
        {str("plain"), str("click")},
        {str("mutable"), str("clack")},
        {str("number"), Object::integer(-7)},
        {str("real"), Object::real(0.5)},
        {str("yes"), Object::boolean(true)},
        {str("null"), Object::null()},
        {str("list"), Object::array({str("click"), Object::integer(-7)})},
        {str("old list"), Object::array({Object::real(0.5), Object::boolean(true)})},
        {str("inline"), Object::data({1, 2, 3})},
        {str("plain data"), Object::data({9})},
        {str("url"), Object::url("file:///Users/x/sounds/click.aif")},
        {str("date"), Object::date(3600)},
        {str("mystery"), Object::record("Mystery")},
    };
    for (const auto& [key, value] : expected) {
        EXPECT_EQ(decoded.objectForKey(*key.stringValue()), value) << *key.stringValue();
    }
    const auto& slots = *decoded.objectForKey("chimes").arrayValue();
    ASSERT_EQ(slots.size(), 2u);
    Chime* chime = slots[0].as<Chime>();
    ASSERT_NE(chime, nullptr);
    EXPECT_EQ(chime, slots[1].as<Chime>());
    EXPECT_EQ(chime->name, str("ding \"quoted\"\n\x01 caf\xc3\xa9"));
    EXPECT_EQ(chime->volume, 3);
    EXPECT_TRUE(chime->loud);
    EXPECT_EQ(chime->secret, Object::null());
    EXPECT_TRUE(chime->next.isNil());

    // Without the class in the table, the record keeps only its name.
    decoded = archives.unarchiveObjectWithFile(file, {}, &error);
    EXPECT_EQ(decoded.objectForKey("chimes").arrayValue()->at(0), Object::record("Chime"));
    EXPECT_TRUE(archives.unarchiveObjectWithFile(file + ".missing", {}, &error).isNil());
    EXPECT_NE(error.find("cannot open"), std::string::npos);

    // XML archives, whose references are CF$UID dictionaries.
    decoded = archives.unarchiveObjectWithFile(
        PLINKA_SOURCE_DIR "/tests/plist/data/chime-with-cf-uids.xml", Chime::classes(), &error);
    ASSERT_NE(decoded.as<Chime>(), nullptr) << error;
    EXPECT_EQ(decoded.as<Chime>()->name, str("tick"));
    EXPECT_EQ(decoded.as<Chime>()->volume, 9);
}

TEST(PlistKeyedArchivesTest, RoundTripsThroughOurOwnWriter) {
    PlistKeyedArchives archives;
    std::string error;
    auto chime = std::make_shared<Chime>();
    chime->name = str("ding");
    chime->volume = -1;
    chime->loud = true;
    chime->secret = Object::url("file:///tmp/ding.wav");
    auto other = std::make_shared<Chime>();
    other->name = str("ding");  // The same string, shared or not.
    other->next = Object::instance(chime);
    const Object root = Object::dictionary({
        {str("chimes"), Object::array({Object::instance(chime), Object::instance(other)})},
        {str("values"),
         Object::array({Object::integer(1), Object::real(2.5), Object::boolean(false),
                        Object::data({0, 255}), Object::null(), Object::date(10),
                        Object::dictionary({{str("$key"), str("$value")}})})},
    });

    auto first = archives.archivedDataWithRootObject(root);
    ASSERT_TRUE(first);
    Object decoded = archives.unarchiveObjectWithData(*first, Chime::classes(), &error);
    ASSERT_FALSE(decoded.isNil()) << error;
    const auto& chimes = *decoded.objectForKey("chimes").arrayValue();
    ASSERT_EQ(chimes.size(), 2u);
    ASSERT_NE(chimes[1].as<Chime>(), nullptr);
    EXPECT_EQ(chimes[1].as<Chime>()->next.as<Chime>(), chimes[0].as<Chime>());
    EXPECT_EQ(chimes[0].as<Chime>()->secret, Object::url("file:///tmp/ding.wav"));
    EXPECT_EQ(decoded.objectForKey("values"), root.objectForKey("values"));

    auto second = archives.archivedDataWithRootObject(decoded);
    ASSERT_TRUE(second);
    EXPECT_EQ(readPropertyListData(*first, nullptr), readPropertyListData(*second, nullptr));
    EXPECT_FALSE(archives.archivedDataWithRootObject(Object::array({Object::uid(1)})));
}

}  // namespace
}  // namespace plinka
