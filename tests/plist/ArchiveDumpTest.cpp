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

// Foundation objects in their JSON forms, records of other classes with all their keys (as
// data/foundation.json shows them), and a cycle as references.
TEST(ArchiveDumpTest, WritesEveryObjectInItsJsonForm) {
    EXPECT_EQ(
        json(testing::fileContents(PLINKA_SOURCE_DIR "/tests/plist/data/foundation.plnk")) + "\n",
        testing::fileContents(PLINKA_SOURCE_DIR "/tests/plist/data/foundation.json"));
    EXPECT_EQ(json(testing::fileContents(
                  PLINKA_SOURCE_DIR "/tests/corpus/theme/archive-array-contains-itself.bplist")),
              R"([{"$ref":1}])");
}

}  // namespace
}  // namespace plinka
