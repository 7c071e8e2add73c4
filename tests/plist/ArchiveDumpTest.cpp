#include "tools/theme/ArchiveDump.h"

#include <gtest/gtest.h>

#include "platform/linux/plist/PlistKeyedArchives.h"
#include "plist/ArchiveFixture.h"
#include "plist/Chime.h"

namespace plinka {
namespace {

using testing::ArchiveFixture;
using testing::Chime;

std::string json(const std::vector<uint8_t>& archive) {
    std::string error;
    auto text = archiveToJson(archive, &error);
    EXPECT_TRUE(text) << error;
    return text.value_or("");
}

TEST(ArchiveDumpTest, WritesFoundationObjectsInTheirJsonForms) {
    ArchiveFixture a;
    auto& p = a.plist;
    const uint64_t urlClass = a.classRecord("NSURL");
    const uint64_t base = a.record(
        urlClass, {{"NS.base", p.uid(0)}, {"NS.relative", p.uid(a.string("file:///themes/"))}});
    const uint64_t url =
        a.record(urlClass, {{"NS.base", p.uid(base)}, {"NS.relative", p.uid(a.string("a.wav"))}});
    const uint64_t oldArray = a.record(a.classRecord("NSMutableArray"),
                                       {{"NS.object.0", p.uid(a.add(p.boolean(false)))}});
    const uint64_t values = a.array(
        {0, a.integer(-5), a.add(p.real(1)), a.add(p.real(0.25)), a.add(p.data({0xFF, 0, 1, 2})),
         oldArray, a.record(a.classRecord("NSData"), {{"NS.data", p.data({65})}}),
         a.record(a.classRecord("NSMutableString"), {{"NS.string", p.string("mutable")}}), url});
    const uint64_t key = a.string("values");
    const uint64_t root = a.record(a.classRecord("NSMutableDictionary"),
                                   {{"NS.keys", a.uids({key})}, {"NS.objects", a.uids({values})}});

    EXPECT_EQ(json(a.build(root)),
              R"({"$dict":{"values":[null,-5,1,0.25,{"$data":"/wABAg=="},[false],)"
              R"({"$data":"QQ=="},"mutable",{"$url":"file:///themes/a.wav"}]}})");
}

TEST(ArchiveDumpTest, WritesOtherRecordsWithAllTheirKeys) {
    ArchiveFixture a;
    auto& p = a.plist;
    const uint64_t chimeClass = a.classRecord("Chime");
    const uint64_t name = a.string("tick \"quoted\"\n\x01 caf\xc3\xa9 \xff");
    const uint64_t shared = a.record(a.classRecord("NSNull"), {});
    const uint64_t chime = a.record(chimeClass, {{"name", p.uid(name)},
                                                 {"volume", p.integer(4)},
                                                 {"loud", p.boolean(true)},
                                                 {"$$secret", p.uid(shared)},
                                                 {"list", p.array({p.uid(shared), p.integer(7)})}});
    EXPECT_EQ(json(a.build(a.array({chime, shared}))),
              R"([{"$$secret":{"$class":"NSNull"},"$class":"Chime","list":[{"$class":"NSNull"},7],)"
              R"("loud":true,"name":"tick \"quoted\"\n\u0001 café �","volume":4},)"
              R"({"$class":"NSNull"}])");
}

TEST(ArchiveDumpTest, WritesCyclesAsReferences) {
    ArchiveFixture a;
    const uint64_t slot = a.reserve();
    const uint64_t inner = a.array({slot});
    a.set(slot, a.recordObject(a.classRecord("NSArray"), {{"NS.objects", a.uids({inner, slot})}}));
    EXPECT_EQ(json(a.build(slot)), R"([[{"$ref":)" + std::to_string(slot) + R"(}],{"$ref":)" +
                                       std::to_string(slot) + "}]");
}

TEST(ArchiveDumpTest, DumpsWhatOurWriterArchives) {
    auto chime = std::make_shared<Chime>();
    chime->name = Object::string("ding");
    chime->next = Object::dictionary({{Object::string("k"), Object::date(1.5)}});
    auto bytes = PlistKeyedArchives().archivedDataWithRootObject(Object::instance(chime));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(json(*bytes), R"({"$$secret":null,"$class":"Chime","loud":false,"name":"ding",)"
                            R"("next":{"$dict":{"k":{"$date":1.5}}},"volume":0})");
}

}  // namespace
}  // namespace plinka
