// Damaged and hostile files: each must fail with a reason, promptly and without a crash, at
// every layer (property list, keyed archive, JSON dump).
#include <gtest/gtest.h>

#include <string>

#include "platform/linux/plist/PlistKeyedArchives.h"
#include "platform/linux/plist/PropertyList.h"
#include "plist/ArchiveFixture.h"
#include "plist/Chime.h"
#include "plist/ObjectPrinter.h"
#include "tools/theme/ArchiveDump.h"

namespace plinka {
namespace {

using testing::ArchiveFixture;
using testing::BplistBuilder;
using testing::Chime;
using Bytes = std::vector<uint8_t>;

Bytes textBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// Fails at every layer, with a reason that contains `reason`.
void expectRejected(const Bytes& bytes, const std::string& reason) {
    std::string error;
    EXPECT_FALSE(readPropertyListData(bytes, &error));
    EXPECT_NE(error.find(reason), std::string::npos) << error;
    PlistKeyedArchives archives;
    error.clear();
    EXPECT_TRUE(archives.unarchiveObjectWithData(bytes, Chime::classes(), &error).isNil());
    EXPECT_NE(error.find(reason), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(archiveToJson(bytes, &error));
    EXPECT_NE(error.find(reason), std::string::npos) << error;
}

// A valid property list, decodable as a plist but not as an archive.
void expectUndecodable(const Bytes& bytes, const std::string& reason) {
    std::string error;
    PlistKeyedArchives archives;
    EXPECT_TRUE(archives.unarchiveObjectWithData(bytes, Chime::classes(), &error).isNil());
    EXPECT_NE(error.find(reason), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(archiveToJson(bytes, &error));
    EXPECT_NE(error.find(reason), std::string::npos) << error;
}

Bytes smallArchive() {
    ArchiveFixture a;
    const uint64_t chime = a.record(a.classRecord("Chime"), {{"name", a.plist.uid(a.string("x"))}});
    return a.build(a.array({chime, a.integer(1)}));
}

TEST(HostileBinaryPropertyListTest, RejectsTruncatedAndCorruptedFiles) {
    const Bytes whole = smallArchive();
    for (std::size_t length = 0; length < whole.size(); ++length) {
        std::string error;
        EXPECT_FALSE(readPropertyListData(Bytes(whole.begin(), whole.begin() + length), &error))
            << "prefix of " << length << " bytes";
        EXPECT_FALSE(error.empty());
    }
    // Every single byte flipped: whatever it becomes, nothing may crash.
    PlistKeyedArchives archives;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        Bytes damaged = whole;
        damaged[i] ^= 0xFF;
        archives.unarchiveObjectWithData(damaged, Chime::classes(), nullptr);
        archiveToJson(damaged, nullptr);
    }
}

TEST(HostileBinaryPropertyListTest, RejectsBadTrailerOffsetsAndReferences) {
    BplistBuilder b;
    const uint64_t root = b.array({b.integer(1), b.string("two")});
    const Bytes good = b.build(root);
    ASSERT_TRUE(readPropertyListData(good, nullptr));
    const std::size_t trailer = good.size() - 32;

    Bytes badOffset = good;
    const std::size_t tableOffset = good[good.size() - 1];
    badOffset[tableOffset] = 0xF0;  // The first object now starts inside the offset table.
    expectRejected(badOffset, "offset");

    Bytes badTable = good;
    badTable[good.size() - 1] = 0xFF;  // The offset table starts past the end.
    expectRejected(badTable, "offset table");

    Bytes badRoot = good;
    badRoot[trailer + 23] = 9;  // Root index past the object count.
    expectRejected(badRoot, "root");

    Bytes badSizes = good;
    badSizes[trailer + 7] = 0;  // Reference size 0.
    expectRejected(badSizes, "size");

    BplistBuilder outOfRange;
    const uint64_t one = outOfRange.integer(1);
    outOfRange.array({one, 7});
    expectRejected(outOfRange.build(1), "reference out of range");

    expectRejected(textBytes("bplist00 and nothing much after it at all, not even a trailer"),
                   "malformed");
    expectRejected(textBytes("not a plist at all"), "not a property list");
}

TEST(HostileBinaryPropertyListTest, RejectsWrongObjectShapes) {
    BplistBuilder longString;
    // A string that claims four gigabytes.
    longString.raw({0x5F, 0x12, 0xFF, 0xFF, 0xFF, 0xFF});
    expectRejected(longString.build(0), "past the objects");

    BplistBuilder numberKey;
    numberKey.dictionary({{numberKey.integer(1), numberKey.integer(2)}});
    expectRejected(numberKey.build(2), "key is not a string");

    BplistBuilder set;
    set.raw({0xC0});  // Sets are not property-list objects we take.
    expectRejected(set.build(0), "unsupported");

    // libplist aborts on strings with a NUL inside.
    BplistBuilder nul;
    nul.string(std::string("a\0b", 3));
    expectRejected(nul.build(0), "NUL");
    BplistBuilder nul16;
    nul16.utf16(std::u16string(u"a\0b", 3));
    expectRejected(nul16.build(0), "NUL");

    BplistBuilder wideUid;
    wideUid.raw({0x82, 0, 0, 1});  // A three-byte UID.
    expectRejected(wideUid.build(0), "UID");
}

TEST(HostileBinaryPropertyListTest, RejectsCyclesDeepNestingAndExpansionBombs) {
    BplistBuilder cycle;
    cycle.array({0});  // An array that holds itself.
    expectRejected(cycle.build(0), "cycle");

    BplistBuilder deep;
    uint64_t inner = deep.array({});
    for (int i = 0; i < 100000; ++i) {
        inner = deep.array({inner});
    }
    expectRejected(deep.build(inner), "nested too deeply");

    // A few hundred bytes that libplist would expand into 2^40 nodes.
    BplistBuilder bomb;
    uint64_t level = bomb.string("lol");
    for (int i = 0; i < 40; ++i) {
        level = bomb.array({level, level});
    }
    const Bytes bombBytes = bomb.build(level);
    EXPECT_LT(bombBytes.size(), 500u);
    expectRejected(bombBytes, "expands to too many");

    // The same with big strings: few nodes, but gigabytes of text.
    BplistBuilder textBomb;
    level = textBomb.string(std::string(100000, 'a'));
    for (int i = 0; i < 12; ++i) {
        level = textBomb.array({level, level});
    }
    expectRejected(textBomb.build(level), "too many bytes");
}

TEST(HostileXmlPropertyListTest, RejectsDeepNestingHiddenMarkupAndMalformedTags) {
    std::string deep = "<plist version=\"1.0\">";
    for (int i = 0; i < 100000; ++i) {
        deep += "<array>";
    }
    expectRejected(textBytes(deep), "nested too deeply");

    expectRejected(textBytes("<plist><!-- <array> --><array/></plist>"), "markup inside");
    expectRejected(textBytes("<plist><array x=\"1\"></array></plist>"), "malformed tag");
    expectRejected(textBytes("<plist></array></plist>"), "end tag without start tag");
    expectRejected(textBytes("<plist><!-- never closed"), "unterminated");
    expectRejected(textBytes("<plist><string>a&#0;b</string></plist>"), "NUL");
    expectRejected(textBytes("<plist><string>a&#x100000000;b</string></plist>"), "NUL");
    expectRejected(
        Bytes{'<', 'p', 'l', 'i', 's', 't', '>', 0, '<', '/', 'p', 'l', 'i', 's', 't', '>'}, "NUL");
    std::string error;
    EXPECT_EQ(
        readPropertyListData(textBytes("<plist><string>&#65;&#x263a;</string></plist>"), &error),
        Object::string("A\u263a"))
        << error;

    std::string wide = "<plist><array>";
    for (int i = 0; i < 300000; ++i) {
        wide += "<true/>";
    }
    expectRejected(textBytes(wide + "</array></plist>"), "too many elements");
}

TEST(HostileKeyedArchiveTest, RejectsMissingOrMistypedContainerKeys) {
    BplistBuilder array;
    array.array({});
    expectUndecodable(array.build(0), "top level");

    BplistBuilder noObjects;
    noObjects.dictionary({{noObjects.string("$archiver"), noObjects.string("NSKeyedArchiver")},
                          {noObjects.string("$version"), noObjects.integer(100000)},
                          {noObjects.string("$objects"), noObjects.string("oops")}});
    expectUndecodable(noObjects.build(noObjects.size() - 1), "$objects");

    ArchiveFixture rootOutOfRange;
    expectUndecodable(rootOutOfRange.build(5), "$top");
}

TEST(HostileKeyedArchiveTest, RejectsBadReferencesAndClassRecords) {
    ArchiveFixture outOfRange;
    expectUndecodable(outOfRange.build(outOfRange.array({1000})), "outside \"$objects\"");

    ArchiveFixture classNotUid;
    const uint64_t record = classNotUid.add(classNotUid.plist.dictionary(
        {{classNotUid.plist.string("$class"), classNotUid.plist.integer(1)}}));
    expectUndecodable(classNotUid.build(record), "$class");

    ArchiveFixture noClassName;
    const uint64_t badClass = noClassName.add(noClassName.plist.dictionary(
        {{noClassName.plist.string("$classes"), noClassName.plist.array({})}}));
    expectUndecodable(noClassName.build(noClassName.record(badClass, {})), "$classname");

    ArchiveFixture badChain;
    auto& p = badChain.plist;
    const uint64_t chainClass =
        badChain.add(p.dictionary({{p.string("$classname"), p.string("X")},
                                   {p.string("$classes"), p.array({p.integer(1)})}}));
    expectUndecodable(badChain.build(badChain.record(chainClass, {})), "$classes");

    ArchiveFixture plainDictionary;
    const uint64_t plain = plainDictionary.add(plainDictionary.plist.dictionary({}));
    expectUndecodable(plainDictionary.build(plain), "$class");
}

TEST(HostileKeyedArchiveTest, RejectsMalformedCollections) {
    ArchiveFixture mismatched;
    const uint64_t key = mismatched.string("k");
    const uint64_t dictionary = mismatched.record(
        mismatched.classRecord("NSDictionary"),
        {{"NS.keys", mismatched.uids({key, key})}, {"NS.objects", mismatched.uids({key})}});
    expectUndecodable(mismatched.build(dictionary), "NS.keys");

    ArchiveFixture notUid;
    const uint64_t array =
        notUid.record(notUid.classRecord("NSArray"),
                      {{"NS.objects", notUid.plist.array({notUid.plist.integer(1)})}});
    expectUndecodable(notUid.build(array), "not a reference");

    ArchiveFixture gap;
    const uint64_t element = gap.string("e");
    const uint64_t oldForm = gap.record(
        gap.classRecord("NSArray"),
        {{"NS.object.0", gap.plist.uid(element)}, {"NS.object.2", gap.plist.uid(element)}});
    expectUndecodable(gap.build(oldForm), "NS.object.1 is missing");
}

TEST(HostileKeyedArchiveTest, FailsOnCyclesInsteadOfHanging) {
    // An array that contains itself is a legal archive, but not a graph of immutable values.
    ArchiveFixture selfArray;
    const uint64_t slot = selfArray.reserve();
    selfArray.set(slot, selfArray.recordObject(selfArray.classRecord("NSArray"),
                                               {{"NS.objects", selfArray.uids({slot})}}));
    PlistKeyedArchives archives;
    std::string error;
    EXPECT_TRUE(archives.unarchiveObjectWithData(selfArray.build(slot), {}, &error).isNil());
    EXPECT_NE(error.find("contains itself"), std::string::npos) << error;

    // A chime that rings itself: our writer archives it, the reader refuses it.
    auto chime = std::make_shared<Chime>();
    chime->next = Object::instance(chime);
    auto bytes = archives.archivedDataWithRootObject(Object::instance(chime));
    chime->next = Object();  // Break the reference cycle so the test doesn't leak.
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(archives.unarchiveObjectWithData(*bytes, Chime::classes(), &error).isNil());
    EXPECT_NE(error.find("contains itself"), std::string::npos) << error;
}

TEST(HostileKeyedArchiveTest, BoundsUrlsThatRepeatOneLongStringThroughTheirBases) {
    ArchiveFixture a;
    const uint64_t urlClass = a.classRecord("NSURL");
    const uint64_t path = a.string(std::string(40000, 'd') + "/");
    uint64_t url = 0;
    for (int i = 0; i < 3; ++i) {
        url =
            a.record(urlClass, {{"NS.base", a.plist.uid(url)}, {"NS.relative", a.plist.uid(path)}});
    }
    expectUndecodable(a.build(url), "NSURL too long");
}

TEST(HostileKeyedArchiveTest, BoundsNestingAndSharedReferenceBombs) {
    ArchiveFixture deep;
    uint64_t inner = deep.array({});
    for (int i = 0; i < 20000; ++i) {
        inner = deep.array({inner});
    }
    expectUndecodable(deep.build(inner), "nested too deeply");

    // Shared references: decoding shares them, so it stays small; a JSON dump writes each
    // place out and stops at its size limit.
    ArchiveFixture bomb;
    uint64_t level = bomb.string(std::string(10000, 'l'));
    for (int i = 0; i < 40; ++i) {
        level = bomb.array({level, level});
    }
    const Bytes bytes = bomb.build(level);
    PlistKeyedArchives archives;
    std::string error;
    EXPECT_FALSE(archives.unarchiveObjectWithData(bytes, {}, &error).isNil()) << error;
    EXPECT_FALSE(archiveToJson(bytes, &error));
    EXPECT_NE(error.find("larger than"), std::string::npos) << error;
}

}  // namespace
}  // namespace plinka
