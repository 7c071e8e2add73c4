#include "sound/ThemeClasses.h"

#include "sound/Sound.h"
#include "sound/SoundTheme.h"

namespace plinka {

ClassTable themeClasses(Platform& platform) {
    return {
        {"SoundTheme",
         [&platform](Decoder& coder) {
             return Object::instance(SoundTheme::initWithCoder(coder, platform));
         }},
        {"Sound",
         [&platform](Decoder& coder) {
             return Object::instance(Sound::initWithCoder(coder, platform));
         }},
    };
}

}  // namespace plinka
