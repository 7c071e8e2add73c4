#include "tools/soundpack/SoundPackImport.h"

#include <QSaveFile>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <filesystem>
#include <set>

#include "base/FileUrl.h"
#include "platform/Bundle.h"
#include "platform/Platform.h"
#include "platform/UserThemeFolder.h"
#include "sound/SoundTheme.h"
#include "tools/soundpack/BucklespringPack.h"
#include "tools/soundpack/MechvibesDxPack.h"
#include "tools/soundpack/MechvibesPack.h"
#include "tools/soundpack/PackConfig.h"
#include "tools/soundpack/PackFiles.h"
#include "tools/soundpack/PackLimits.h"
#include "tools/soundpack/PackSounds.h"
#include "tools/theme/ThemeBuilder.h"

namespace plinka::soundpack {

namespace {

constexpr std::size_t kMaxNameBytes = 200;
constexpr const char* kOffName = "Off";

// A pack read into theme terms; the config's file names start in `folder`.
struct OpenedPack {
    std::unique_ptr<PackFiles> files;
    std::string folder;
    PackPlan plan;
};

// The folder inside the pack of its shallowest config.json.
std::optional<std::string> configFolder(const std::vector<std::string>& files) {
    std::optional<std::string> best;
    for (const auto& file : files) {
        if (file != "config.json" && !file.ends_with("/config.json")) {
            continue;
        }
        std::string folder = file.substr(0, file.size() - std::string("config.json").size());
        if (!folder.empty()) {
            folder.pop_back();
        }
        if (!best || packPathDepth(folder) < packPathDepth(*best)) {
            best = folder;
        }
    }
    return best;
}

std::optional<OpenedPack> openPack(const std::string& path, std::string& error) {
    OpenedPack pack;
    pack.files = PackFiles::open(path, error);
    if (!pack.files) {
        return std::nullopt;
    }
    std::optional<PackPlan> plan;
    if (const auto folder = configFolder(pack.files->files())) {
        pack.folder = *folder;
        const std::string config = folder->empty() ? "config.json" : *folder + "/config.json";
        const auto bytes = pack.files->read(config, PackLimits::kMaxConfigBytes, error);
        const auto json = bytes ? parsePackConfig(*bytes, error) : std::nullopt;
        // MechvibesDX numbers its format "config_version", Mechvibes "version" (or not at all).
        plan = !json                              ? std::nullopt
               : json->contains("config_version") ? planMechvibesDx(*json, error)
                                                  : planMechvibes(*json, error);
    } else {
        plan = planBucklespring(pack.files->files());
        if (!plan) {
            error =
                "neither a Mechvibes pack (no config.json) nor a bucklespring folder (no "
                "files named like 1e-1.wav)";
        }
    }
    if (!plan) {
        error = path + ": " + error;
        return std::nullopt;
    }
    pack.plan = std::move(*plan);
    const auto& notes = pack.files->notes();
    pack.plan.warnings.insert(pack.plan.warnings.begin(), notes.begin(), notes.end());
    return pack;
}

// The plan with only the sounds made, its sample chosen among them, as a mapping of files.
themetool::Mapping mappingOf(PackPlan plan, const std::map<SoundSource, std::string>& made,
                             PackReport& report) {
    for (auto* table : {&plan.keys, &plan.mouse}) {
        for (auto& row : *table) {
            for (auto& [code, sound] : row) {
                std::erase_if(sound,
                              [&](const SoundSource& source) { return !made.contains(source); });
            }
            std::erase_if(row, [](const auto& slot) { return slot.second.empty(); });
        }
    }
    chooseSample(plan);
    themetool::Mapping mapping;
    mapping.name = report.name;
    mapping.pitchCents = plan.pitchCents;
    report.pitchCents = plan.pitchCents.value_or(0);
    const auto filesOf = [&made](const KeySound& sound) {
        themetool::SlotValue value{themetool::SlotValue::Kind::Files, {}, {}};
        for (const auto& source : sound) {
            value.files.push_back(made.at(source));
        }
        return value;
    };
    for (size_t state = 0; state < plan.keys.size(); ++state) {
        for (const auto& [keyCode, sound] : plan.keys[state]) {
            auto value = filesOf(sound);
            if (keyCode != SoundTheme::kSampleKeyCode) {
                (state == 1 ? report.pressKeys : report.releaseKeys) += 1;
                report.variantKeys += value.files.size() > 1 ? 1 : 0;
            }
            mapping.assignments.push_back(
                {static_cast<int>(state), {keyCode}, std::move(value), 0});
        }
        for (const auto& [button, sound] : plan.mouse[state]) {
            report.buttonSounds += 1;
            mapping.assignments.push_back({static_cast<int>(state),
                                           {button},
                                           filesOf(sound),
                                           0,
                                           themetool::Assignment::Target::Mouse});
        }
    }
    return mapping;
}

// The pack's own name made into a theme's: blanks for what a file name can't hold.
std::string themeNameFromPack(const std::string& packName) {
    std::string name =
        QString::fromUtf8(packName.data(), static_cast<qsizetype>(packName.size())).toStdString();
    for (char& c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || byte < 0x20 || byte == 0x7F) {
            c = c == '/' ? '-' : ' ';
        }
    }
    name = QString::fromStdString(name).simplified().toStdString();
    while (name.starts_with('.')) {
        name.erase(0, 1);
    }
    return cutToUtf8Bytes(std::move(name), kMaxNameBytes);
}

// Makes the pack's sounds and report, handing each sound on to `keep`; the theme's mapping.
std::optional<themetool::Mapping> convert(const std::string& path,
                                          const std::optional<std::string>& themeName,
                                          const ImportOptions& options, PackReport& report,
                                          const KeepSound& keep, std::string& error) {
    auto pack = openPack(path, error);
    if (!pack) {
        return std::nullopt;
    }
    if (options.splitRelease && splitReleases(pack->plan) == 0) {
        pack->plan.warnings.push_back(
            "every key that sounds has a release sound of its own: nothing to split");
    }
    if (themeName) {
        if (const auto problem = themeNameProblem(*themeName)) {
            error = "\"" + *themeName + "\" can't name a theme: " + *problem;
            return std::nullopt;
        }
        report.name = *themeName;
    } else {
        report.name = themeNameFromPack(pack->plan.name.value_or(pack->files->packName()));
        if (report.name.empty()) {
            report.name = themeNameFromPack(pack->files->packName());
        }
        if (themeNameProblem(report.name)) {
            report.name = "Imported Sound Pack";
        }
    }
    report.format = pack->plan.format;
    report.warnings = pack->plan.warnings;
    const auto made = makeSounds(pack->plan, *pack->files, pack->folder, report, keep, error);
    if (!made) {
        error = path + ": " + error;
        return std::nullopt;
    }
    auto mapping = mappingOf(pack->plan, *made, report);
    if (report.pressKeys + report.releaseKeys + report.buttonSounds == 0) {
        error = path + ": no key has a sound Plinka can play" +
                (report.warnings.empty() ? "" : " (" + report.warnings.back() + ")");
        return std::nullopt;
    }
    return mapping;
}

}  // namespace

std::optional<std::string> themeNameProblem(const std::string& name) {
    if (name.empty()) {
        return "it is empty";
    }
    if (name.size() > kMaxNameBytes) {
        return "it is longer than " + std::to_string(kMaxNameBytes) + " bytes";
    }
    if (name.starts_with('.')) {
        return "it begins with \".\"";
    }
    const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    if (text.toStdString() != name) {
        return "it is not UTF-8 text";
    }
    for (char c : name) {
        if (c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return "it holds \"/\" or a control character";
        }
    }
    // They make a name show other than it is: "Clicks\u202Eeulb" shows as "Clicksblue".
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0x061C || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) ||
            (u >= 0x2066 && u <= 0x2069)) {
            return "it holds a control of the writing direction";
        }
    }
    return std::nullopt;
}

std::optional<PackReport> checkSoundPack(const std::string& pack, const ImportOptions& options,
                                         std::string& error) {
    PackReport report;
    const auto made = convert(
        pack, std::nullopt, options, report,
        [](const std::string&, const Clip&, std::string&) { return true; }, error);
    return made ? std::optional(std::move(report)) : std::nullopt;
}

std::optional<ImportedTheme> importSoundPack(const std::string& pack,
                                             const std::optional<std::string>& themeName,
                                             const ImportOptions& options, Platform& platform,
                                             std::string& error) {
    QTemporaryDir work;
    if (!work.isValid()) {
        error = "no room for temporary files (" + work.errorString().toStdString() + ")";
        return std::nullopt;
    }
    const std::string folder = work.path().toStdString();
    ImportedTheme imported;
    const auto made = convert(
        pack, themeName, options, imported.report,
        [&](const std::string& name, const Clip& clip, std::string& failure) {
            return writeWav(clip, folder + "/" + name, failure);
        },
        error);
    if (!made) {
        return std::nullopt;
    }
    auto bytes = themetool::buildTheme(*made, folder, imported.report.name, platform, error);
    if (!bytes) {
        error = pack + ": " + error;
        return std::nullopt;
    }
    if (bytes->size() > PlistLimits::kMaxBytes) {
        error = pack + ": the theme would be larger than a theme file may be";
        return std::nullopt;
    }
    imported.bytes = std::move(*bytes);
    return imported;
}

std::optional<PackReport> installSoundPack(const std::string& pack,
                                           const std::optional<std::string>& themeName,
                                           const ImportOptions& options, Platform& platform,
                                           std::string& error) {
    const auto folder = platform.userThemes.folderPath();
    if (!folder) {
        error = "there is no folder for your themes (set HOME or XDG_DATA_HOME)";
        return std::nullopt;
    }
    auto imported = importSoundPack(pack, themeName, options, platform, error);
    if (!imported) {
        return std::nullopt;
    }
    const std::string& name = imported->report.name;
    std::set<std::string> taken{kOffName};
    for (const auto& path : platform.mainBundle.pathsForResourcesOfType("plnk", "KeySoundThemes")) {
        taken.insert(FileUrl::stringByDeletingPathExtension(FileUrl::lastPathComponent(path)));
    }
    if (taken.contains(name)) {
        error = "Plinka has a theme named \"" + name + "\" of its own";
        return std::nullopt;
    }
    std::error_code made;
    std::filesystem::create_directories(*folder, made);
    if (made) {
        error = *folder + ": the folder for your themes can't be made (" + made.message() + ")";
        return std::nullopt;
    }
    QSaveFile file(QString::fromStdString(*folder + "/" + name + ".plnk"));
    const bool saved = file.open(QIODevice::WriteOnly) &&
                       file.write(reinterpret_cast<const char*>(imported->bytes.data()),
                                  static_cast<qint64>(imported->bytes.size())) ==
                           static_cast<qint64>(imported->bytes.size()) &&
                       file.commit();
    if (!saved) {
        error =
            *folder + ": the theme can't be saved there (" + file.errorString().toStdString() + ")";
        return std::nullopt;
    }
    return std::move(imported->report);
}

}  // namespace plinka::soundpack
