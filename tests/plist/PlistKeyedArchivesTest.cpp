#include "platform/linux/plist/PlistKeyedArchives.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "TestFiles.h"
#include "platform/linux/plist/PropertyList.h"
#include "plist/ArchiveFixture.h"
#include "plist/Chime.h"
#include "plist/ObjectPrinter.h"

namespace plinka {
namespace {

using testing::ArchiveFixture;
using testing::Chime;

Object str(const char* text) {
    return Object::string(text);
}

class PlistKeyedArchivesTest : public ::testing::Test {
  protected:
    Object decode(const std::vector<uint8_t>& bytes, const ClassTable& classes = {}) {
        error.clear();
        return archives.unarchiveObjectWithData(bytes, classes, &error);
    }

    PlistKeyedArchives archives;
    std::string error;
};

TEST_F(PlistKeyedArchivesTest, DecodesTheFoundationFormsMacOSWrites) {
    ArchiveFixture a;
    auto& p = a.plist;
    const uint64_t plain = a.string("click");
    const uint64_t mutableString =
        a.record(a.classRecord("NSMutableString", {"NSMutableString", "NSString", "NSObject"}),
                 {{"NS.string", p.string("clack")}});
    const uint64_t number = a.integer(-7);
    const uint64_t real = a.add(p.real(0.5));
    const uint64_t yes = a.add(p.boolean(true));
    const uint64_t null = a.record(a.classRecord("NSNull"), {});
    const uint64_t list = a.array({plain, number});
    const uint64_t mutableClass =
        a.classRecord("NSMutableArray", {"NSMutableArray", "NSArray", "NSObject"});
    const uint64_t oldList =
        a.record(mutableClass, {{"NS.object.1", p.uid(yes)}, {"NS.object.0", p.uid(real)}});
    const uint64_t inlineData =
        a.record(a.classRecord("NSMutableData"), {{"NS.data", p.data({1, 2, 3})}});
    const uint64_t plainData = a.add(p.data({9}));
    const uint64_t urlClass = a.classRecord("NSURL");
    const uint64_t base = a.record(
        urlClass, {{"NS.base", p.uid(0)}, {"NS.relative", p.uid(a.string("file:///Users/x/"))}});
    const uint64_t url = a.record(
        urlClass, {{"NS.base", p.uid(base)}, {"NS.relative", p.uid(a.string("sounds/click.aif"))}});
    const uint64_t date = a.record(a.classRecord("NSDate"), {{"NS.time", p.real(3600)}});

    const std::vector<uint64_t> keys{
        a.string("plain"),  a.string("mutable"),    a.string("number"), a.string("real"),
        a.string("yes"),    a.string("null"),       a.string("list"),   a.string("old list"),
        a.string("inline"), a.string("plain data"), a.string("url"),    a.string("date")};
    const std::vector<uint64_t> values{plain, mutableString, number,     real,      yes, null,
                                       list,  oldList,       inlineData, plainData, url, date};
    const uint64_t root = a.record(a.classRecord("NSDictionary"),
                                   {{"NS.keys", a.uids(keys)}, {"NS.objects", a.uids(values)}});

    Object decoded = decode(a.build(root));
    ASSERT_FALSE(decoded.isNil()) << error;
    EXPECT_EQ(decoded,
              Object::dictionary({
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
              }));
}

TEST_F(PlistKeyedArchivesTest, DecodesOwnClassesThroughTheClassTableAndSharesThem) {
    ArchiveFixture a;
    auto& p = a.plist;
    const uint64_t chimeClass = a.classRecord("Chime");
    const uint64_t chime = a.record(chimeClass, {{"name", p.uid(a.string("ding"))},
                                                 {"volume", p.integer(3)},
                                                 {"loud", p.boolean(true)},
                                                 {"$$secret", p.uid(a.string("hidden"))}});
    // A subclass we don't know of a class we do, and a class we don't know at all.
    const uint64_t subclassArray =
        a.record(a.classRecord("PLKSlots", {"PLKSlots", "NSMutableArray", "NSArray", "NSObject"}),
                 {{"NS.objects", a.uids({chime, chime})}});
    const uint64_t mystery = a.record(a.classRecord("Mystery", {}), {{"payload", p.integer(1)}});
    const uint64_t root = a.array({subclassArray, mystery});

    Object decoded = decode(a.build(root, "theme"), Chime::classes());
    ASSERT_FALSE(decoded.isNil()) << error;
    const auto& elements = *decoded.arrayValue();
    ASSERT_EQ(elements.size(), 2u);
    const auto& slots = *elements[0].arrayValue();
    ASSERT_EQ(slots.size(), 2u);
    Chime* first = slots[0].as<Chime>();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, slots[1].as<Chime>());
    EXPECT_EQ(first->name, str("ding"));
    EXPECT_EQ(first->volume, 3);
    EXPECT_TRUE(first->loud);
    EXPECT_EQ(first->secret, str("hidden"));
    EXPECT_TRUE(first->next.isNil());
    EXPECT_EQ(elements[1], Object::record("Mystery"));

    // Without the class in the table, the record keeps only its name.
    decoded = decode(a.build(root, "theme"));
    EXPECT_EQ(decoded.arrayValue()->at(0).arrayValue()->at(0), Object::record("Chime"));
}

TEST_F(PlistKeyedArchivesTest, DecodesXmlArchivesWithCfUidDictionaries) {
    const char* xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
	<key>$archiver</key><string>NSKeyedArchiver</string>
	<key>$version</key><integer>100000</integer>
	<key>$top</key><dict><key>root</key><dict><key>CF$UID</key><integer>1</integer></dict></dict>
	<key>$objects</key>
	<array>
		<string>$null</string>
		<dict>
			<key>$class</key><dict><key>CF$UID</key><integer>3</integer></dict>
			<key>name</key><dict><key>CF$UID</key><integer>2</integer></dict>
			<key>volume</key><integer>9</integer>
		</dict>
		<string>tick</string>
		<dict>
			<key>$classname</key><string>Chime</string>
			<key>$classes</key><array><string>Chime</string><string>NSObject</string></array>
		</dict>
	</array>
</dict>
</plist>
)";
    Object decoded = decode(std::vector<uint8_t>(xml, xml + std::strlen(xml)), Chime::classes());
    ASSERT_NE(decoded.as<Chime>(), nullptr) << error;
    EXPECT_EQ(decoded.as<Chime>()->name, str("tick"));
    EXPECT_EQ(decoded.as<Chime>()->volume, 9);
}

TEST_F(PlistKeyedArchivesTest, WritesArchivesInThePlatformLayout) {
    auto chime = std::make_shared<Chime>();
    chime->name = str("ding");
    chime->volume = 2;
    chime->secret = Object::data({4, 5});
    const Object root = Object::array(
        {Object::instance(chime), Object::instance(chime), Object::array({}), Object::null()});
    auto bytes = archives.archivedDataWithRootObject(root);
    ASSERT_TRUE(bytes);
    auto plist = readPropertyListData(*bytes, &error);
    ASSERT_TRUE(plist) << error;
    EXPECT_EQ(plist->objectForKey("$archiver"), str("NSKeyedArchiver"));
    EXPECT_EQ(plist->objectForKey("$version"), Object::integer(100000));
    const auto& objects = *plist->objectForKey("$objects").arrayValue();
    EXPECT_EQ(objects[0], str("$null"));
    const auto rootUid = plist->objectForKey("$top").objectForKey("root").uidValue();
    ASSERT_TRUE(rootUid);

    // One class record per class, with the chain ending in NSObject; one record per instance.
    std::map<std::string, int> classRecords;
    int chimeRecords = 0;
    for (const auto& object : objects) {
        if (const auto* name = object.objectForKey("$classname").stringValue()) {
            ++classRecords[*name];
            EXPECT_EQ(object.objectForKey("$classes"),
                      Object::array({str(name->c_str()), str("NSObject")}));
        }
        if (!object.objectForKey("$$secret").isNil()) {
            ++chimeRecords;
            EXPECT_EQ(object.objectForKey("volume"), Object::integer(2));
            EXPECT_EQ(object.objectForKey("loud"), Object::boolean(false));
            EXPECT_EQ(object.objectForKey("next"), Object::uid(0));
        }
    }
    EXPECT_EQ(classRecords,
              (std::map<std::string, int>{{"Chime", 1}, {"NSArray", 1}, {"NSNull", 1}}));
    EXPECT_EQ(chimeRecords, 1);
}

TEST_F(PlistKeyedArchivesTest, RoundTripsThroughOurOwnWriter) {
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
    Object decoded = decode(*first, Chime::classes());
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
}

TEST_F(PlistKeyedArchivesTest, RefusesToArchiveUids) {
    EXPECT_FALSE(archives.archivedDataWithRootObject(Object::array({Object::uid(1)})));
}

TEST_F(PlistKeyedArchivesTest, ReadsArchiveFilesAndReportsMissingOnes) {
    ArchiveFixture a;
    const auto bytes = a.build(a.string("just a string"));
    const std::string path = ::testing::TempDir() + "/plinka-archive-test.plnk";
    testing::writeFile(path, bytes);
    EXPECT_EQ(archives.unarchiveObjectWithFile(path, {}, &error), str("just a string")) << error;
    std::remove(path.c_str());
    EXPECT_TRUE(archives.unarchiveObjectWithFile(path, {}, &error).isNil());
    EXPECT_NE(error.find("cannot open"), std::string::npos);
}

}  // namespace
}  // namespace plinka
