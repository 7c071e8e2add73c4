#include "tools/theme/ArchiveDump.h"

#include <gtest/gtest.h>

#include "TestFiles.h"

namespace plinka {
namespace {

std::string json(const std::string& bytes) {
    std::string error;
    auto text = archiveToJson(std::vector<uint8_t>(bytes.begin(), bytes.end()), &error);
    EXPECT_TRUE(text) << error;
    return text.value_or("");
}

// Foundation objects in their JSON forms, records of other classes with all their keys, and a
// cycle as references.
TEST(ArchiveDumpTest, WritesEveryObjectInItsJsonForm) {
    EXPECT_EQ(json(testing::fileContents(PLINKA_SOURCE_DIR "/tests/plist/data/foundation.plnk")),
              R"({"$dict":{"chimes":{"$class":"PLKSlots","NS.objects":[)"
              R"({"$$secret":{"$class":"NSNull"},"$class":"Chime","loud":true,)"
              R"("name":"ding \"quoted\"\n\u0001 café","volume":3},)"
              R"({"$$secret":{"$class":"NSNull"},"$class":"Chime","loud":true,)"
              R"("name":"ding \"quoted\"\n\u0001 café","volume":3}]},)"
              R"("date":{"$date":3600},"inline":{"$data":"AQID"},"list":["click",-7],)"
              R"("mutable":"clack","mystery":{"$class":"Mystery","payload":1},)"
              R"("null":{"$class":"NSNull"},"number":-7,"old list":[0.5,true],"plain":"click",)"
              R"("plain data":{"$data":"CQ=="},"real":0.5,)"
              R"("url":{"$url":"file:///Users/x/sounds/click.aif"},"yes":true}})");
    EXPECT_EQ(json(testing::fileContents(
                  PLINKA_SOURCE_DIR "/tests/corpus/theme/archive-array-contains-itself.bplist")),
              R"([{"$ref":1}])");
}

}  // namespace
}  // namespace plinka
