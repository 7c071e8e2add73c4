#include "tools/soundpack/PackPlan.h"

#include "platform/linux/input/KeyMap.h"
#include "sound/SoundTheme.h"

namespace plinka::soundpack {

void chooseSample(PackPlan& plan) {
    auto& pressed = plan.keys[1];
    for (const char* name : {"a", "s", "d", "f", "j", "k", "l", "e", "space", "return"}) {
        if (auto found = pressed.find(*keyCodeForName(name)); found != pressed.end()) {
            pressed[SoundTheme::kSampleKeyCode] = found->second;
            return;
        }
    }
    for (const auto* row : {&pressed, &plan.keys[0]}) {
        if (!row->empty() && row->begin()->first != SoundTheme::kSampleKeyCode) {
            pressed[SoundTheme::kSampleKeyCode] = row->begin()->second;
            return;
        }
    }
}

std::size_t splitReleases(PackPlan& plan) {
    std::size_t split = 0;
    for (auto* table : {&plan.keys, &plan.mouse}) {
        auto& [released, pressed] = *table;
        for (auto& [code, sound] : pressed) {
            if (released.contains(code)) {
                continue;
            }
            KeySound& release = released[code];
            for (SoundSource& source : sound) {
                release.push_back(source);
                release.back().part = SoundSource::Part::SecondHalf;
                source.part = SoundSource::Part::FirstHalf;
            }
            ++split;
        }
    }
    return split;
}

std::string shortList(const std::vector<std::string>& items) {
    constexpr size_t kShown = 20;
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i == kShown) {
            return text + " and " + std::to_string(items.size() - kShown) + " more";
        }
        text += (i == 0 ? "" : ", ") + items[i];
    }
    return text;
}

}  // namespace plinka::soundpack
