// libFuzzer target: bytes through the whole theme-loading path. The archive is decoded with
// the theme classes (making every Sound, writing transient sounds out), every slot of a decoded
// theme is played once, and the same bytes are dumped as JSON.
#include <unistd.h>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "doubles/FakePlatform.h"
#include "platform/linux/plist/PlistKeyedArchives.h"
#include "sound/SoundTheme.h"
#include "sound/ThemeClasses.h"
#include "tools/theme/ArchiveDump.h"

namespace {

// Transient sounds are written here; emptied after every input so the disk doesn't fill.
const std::filesystem::path& scratchDirectory() {
    static const std::filesystem::path directory = [] {
        auto path = std::filesystem::temp_directory_path() /
                    ("plinka-fuzz-theme-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return directory;
}

void playEverySlot(plinka::SoundTheme& theme) {
    for (int state = -1; state <= 2; ++state) {
        for (int keyCode = -1; keyCode <= plinka::SoundTheme::kSlotCount; ++keyCode) {
            theme.playSoundForKeyCode(keyCode, state);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    {
        plinka::testing::FakePlatform fake;
        fake.temporaryFiles.directory = scratchDirectory().string();
        plinka::PlistKeyedArchives archives;
        std::string error;
        const plinka::Object root =
            archives.unarchiveObjectWithData(bytes, plinka::themeClasses(fake.platform), &error);
        if (auto* theme = root.as<plinka::SoundTheme>()) {
            playEverySlot(*theme);
        }
    }
    std::string error;
    plinka::archiveToJson(bytes, &error);

    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(scratchDirectory(), ignored)) {
        std::filesystem::remove(entry.path(), ignored);
    }
    return 0;
}
