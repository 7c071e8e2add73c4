#pragma once

#include <stdexcept>
#include <string>

#include "TestFiles.h"
#include "base/FileUrl.h"
#include "doubles/FakePlatform.h"
#include "platform/linux/plist/PlistKeyedArchives.h"
#include "sound/Sound.h"
#include "sound/SoundTheme.h"

namespace plinka::testing {

// Writes a theme file whose key 0 (A) plays, when it goes down, the file at `soundPath` from
// where it is rather than embedded, as themes that name their sounds by URL do; its rows have
// `slotCount` slots.
inline void writeUrlTheme(const std::string& themeFile, const std::string& name,
                          const std::string& soundPath, size_t slotCount = SoundTheme::kSlotCount) {
    FakePlatform fake;  // makes the Sound without touching the file
    Object::Array down(slotCount, Object::null());
    down[0] = Object::instance(
        Sound::initWithContentsOfURL(FileUrl::fileURLWithPath(soundPath), fake.platform));
    const auto theme = SoundTheme::themeWithSounds(
        Object::array(
            {Object::array(Object::Array(slotCount, Object::null())), Object::array(down)}),
        name, fake.platform);
    const auto bytes = PlistKeyedArchives().archivedDataWithRootObject(Object::instance(theme));
    if (!bytes) {
        throw std::runtime_error("the theme could not be archived");
    }
    writeFile(themeFile, *bytes);
}

}  // namespace plinka::testing
