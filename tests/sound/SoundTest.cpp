#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "ScratchDirectory.h"
#include "base/FileUrl.h"
#include "doubles/FakePlatform.h"
#include "sound/Sound.h"

namespace plinka {
namespace {

using ::testing::ElementsAre;
using testing::FakePlatform;
namespace fs = std::filesystem;

class SoundTest : public ::testing::Test {
  protected:
    SoundTest() { fake.temporaryFiles.directory = directory.string(); }

    std::vector<fs::path> temporaryFiles() const {
        return {fs::directory_iterator(directory), fs::directory_iterator()};
    }

    testing::ScratchDirectory scratch;
    fs::path directory = scratch.path();
    FakePlatform fake;
};

TEST_F(SoundTest, FromAUrlMakesAFlaggedSystemSoundNamedByTheFile) {
    auto sound = Sound::initWithContentsOfURL("file:///themes/a%20b/click.aif", fake.platform);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->name(), "click.aif");
    EXPECT_EQ(fake.systemSounds.urlOf(sound->soundID()), "file:///themes/a%20b/click.aif");
    sound->play();
    EXPECT_THAT(fake.systemSounds.played, ElementsAre(sound->soundID()));
    const SystemSoundID id = sound->soundID();
    sound.reset();
    EXPECT_THAT(fake.systemSounds.disposed, ElementsAre(id));
}

TEST_F(SoundTest, ByNameTriesTheTypesInOrderAndNeedsAnExistingFile) {
    const auto aif = directory / "key.aif";
    const auto wav = directory / "key.wav";
    testing::writeFile(wav, "x");
    fake.bundle.addResource("", "key", "wav", wav.string());
    fake.bundle.addResource("", "key", "aif", aif.string());  // listed but not on disk
    auto sound = Sound::initWithName("key", fake.platform);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->name(), "key.wav");
    testing::writeFile(aif, "x");
    EXPECT_EQ(Sound::initWithName("key", fake.platform)->name(), "key.aif");
    EXPECT_FALSE(Sound::initWithName("missing", fake.platform));
    EXPECT_TRUE(fake.log.lines().empty());
}

// A transient record's data passes through a temporary file of its own, gone at once since the
// service decodes sounds whole; the sound still archives its data. A file already at the name is
// someone else's: neither overwritten nor removed. A sound that failed leaves nothing behind.
TEST_F(SoundTest, ATransientRecordsFileGoesAtOnceAndAnotherFileIsNeverTouched) {
    fake.systemSounds.readsFile = false;  // as the mixer's service
    const Object::Bytes bytes{'R', 'I', 'F', 'F', 9};
    testing::DictionaryDecoder coder(
        Object::dictionary({{Object::string("name"), Object::string("tick.wav")},
                            {Object::string("transient"), Object::boolean(true)},
                            {Object::string("data"), Object::data(bytes)}}));
    auto sound = Sound::initWithCoder(coder, fake.platform);
    ASSERT_TRUE(sound);
    EXPECT_EQ(fake.systemSounds.created.size(), 1u);
    EXPECT_TRUE(temporaryFiles().empty());
    testing::RecordingEncoder encoder;
    sound->encodeWithCoder(encoder);
    EXPECT_EQ(encoder["data"], Object::data(bytes));

    const fs::path taken = directory / "11111111-2222-3333-4444-555555555555";
    testing::writeFile(taken, "planted");
    fake.temporaryFiles.scriptedUuids = {taken.filename().string()};
    Sound::initWithCoder(coder, fake.platform);
    EXPECT_EQ(testing::fileContents(taken), "planted");

    fs::remove(taken);
    fake.systemSounds.createStatusForUrl[FileUrl::fileURLWithPath(taken.string())] =
        kFileNotFoundErr;
    fake.temporaryFiles.scriptedUuids = {taken.filename().string()};
    EXPECT_FALSE(Sound::initWithCoder(coder, fake.platform));
    EXPECT_TRUE(temporaryFiles().empty());
}

}  // namespace
}  // namespace plinka
