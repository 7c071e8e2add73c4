#include "tools/soundpack/PackSounds.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "tools/soundpack/PackFiles.h"
#include "tools/soundpack/PackLimits.h"
#include "tools/theme/KeyNames.h"

namespace plinka::soundpack {

namespace {

std::string keyLabel(size_t state, int keyCode) {
    return themetool::keyLabel(keyCode) + (state == 0 ? " (release)" : "");
}

std::string buttonLabel(size_t state, int button) {
    constexpr const char* kButtons[] = {"left button", "right button", "middle button"};
    return std::string(kButtons[button]) + (state == 0 ? " (release)" : "");
}

std::string sourceLabel(const SoundSource& source) {
    std::string label = source.file;
    if (source.startMs) {
        label += " at " + std::to_string(static_cast<long long>(std::min(*source.startMs, 1e15))) +
                 " ms";
    }
    if (source.part != SoundSource::Part::Whole) {
        label += source.part == SoundSource::Part::FirstHalf ? " (first half)" : " (second half)";
    }
    return label;
}

// The longest stem kept of a source's name: with its slice's start, a number that sets it apart
// and ".wav", a sound's file name stays well inside the 255 bytes a file name may have.
constexpr size_t kMaxStemBytes = 200;

// A file name of its own for each sound: the source's name, then its slice's start.
class WavNames {
  public:
    std::string nameFor(const SoundSource& source) {
        std::string stem =
            cutToUtf8Bytes(std::filesystem::path(source.file).stem().string(), kMaxStemBytes);
        if (stem.empty()) {
            stem = "sound";
        }
        if (source.startMs) {
            stem += "-" + std::to_string(static_cast<long long>(*source.startMs));
        }
        if (source.part != SoundSource::Part::Whole) {
            stem += source.part == SoundSource::Part::FirstHalf ? "-press" : "-release";
        }
        std::string name = stem + ".wav";
        for (int n = 2; !taken_.insert(name).second; ++n) {
            name = stem + "-" + std::to_string(n) + ".wav";
        }
        return name;
    }

  private:
    std::set<std::string> taken_;
};

}  // namespace

std::string cutToUtf8Bytes(std::string text, size_t bytes) {
    if (text.size() > bytes) {
        while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) {
            --bytes;
        }
        text.resize(bytes);
    }
    return text;
}

std::optional<std::map<SoundSource, std::string>> makeSounds(const PackPlan& plan, PackFiles& files,
                                                             const std::string& folder,
                                                             PackReport& report,
                                                             const KeepSound& keep,
                                                             std::string& error) {
    std::map<SoundSource, std::vector<std::string>> users;
    for (size_t state = 0; state < plan.keys.size(); ++state) {
        for (const auto& [keyCode, sound] : plan.keys[state]) {
            for (const auto& source : sound) {
                users[source].push_back(keyLabel(state, keyCode));
            }
        }
        for (const auto& [button, sound] : plan.mouse[state]) {
            for (const auto& source : sound) {
                users[source].push_back(buttonLabel(state, button));
            }
        }
    }
    if (users.size() > PackLimits::kMaxSounds) {
        error = "more than " + std::to_string(PackLimits::kMaxSounds) +
                " different sounds, more than a theme may hold";
        return std::nullopt;
    }
    std::map<std::string, std::vector<const SoundSource*>> byFile;
    for (const auto& [source, keys] : users) {
        byFile[source.file].push_back(&source);
    }
    auto leftOut = [&](const std::string& problem, const std::vector<const SoundSource*>& sources) {
        std::vector<std::string> keys;
        for (const auto* source : sources) {
            keys.insert(keys.end(), users[*source].begin(), users[*source].end());
        }
        report.warnings.push_back(problem + "; left out of " + shortList(keys));
    };
    std::map<SoundSource, std::string> made;
    WavNames names;
    for (const auto& [file, sources] : byFile) {
        const auto path = files.find(folder, file);
        if (!path) {
            leftOut(file + ": no such file in the pack", sources);
            continue;
        }
        std::string problem;
        auto bytes = files.read(*path, PackLimits::kMaxAudioFileBytes, problem);
        auto audio = bytes ? AudioFile::open(std::move(*bytes), problem) : nullptr;
        if (!audio) {
            leftOut(bytes ? file + ": " + problem : problem, sources);
            continue;
        }
        for (const auto* source : sources) {
            std::string note;
            const auto clip = audio->clip(*source, problem, note);
            if (!clip) {
                leftOut(sourceLabel(*source) + ": " + problem, {source});
                continue;
            }
            if (!note.empty()) {
                report.warnings.push_back(sourceLabel(*source) + ": " + note);
            }
            report.audioBytes += clip->wavBytes();
            if (report.audioBytes > PackLimits::kMaxThemeAudioBytes) {
                error = "its sounds come to more than " +
                        std::to_string(PackLimits::kMaxThemeAudioBytes >> 20) +
                        " MB, more than a theme may hold";
                return std::nullopt;
            }
            const std::string name = names.nameFor(*source);
            if (!keep(name, *clip, error)) {
                return std::nullopt;
            }
            made[*source] = name;
            report.sounds += 1;
            report.seconds += static_cast<double>(clip->frames()) / kClipRate;
        }
    }
    return made;
}

}  // namespace plinka::soundpack
