#include "tools/theme/Commands.h"

#include <QSaveFile>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <optional>
#include <sstream>

#include "base/FileUrl.h"
#include "platform/UserThemeFolder.h"
#include "platform/linux/audio/MixerSystemSoundService.h"
#include "platform/linux/plist/PlistLimits.h"
#include "sound/AudioKeepAlive.h"
#include "sound/Sound.h"
#include "sound/SoundController.h"
#include "tools/soundpack/SoundPackImport.h"
#include "tools/theme/ArchiveDump.h"
#include "tools/theme/KeyNames.h"
#include "tools/theme/Preview.h"
#include "tools/theme/RegularFile.h"
#include "tools/theme/ThemeBuilder.h"
#include "tools/theme/ThemeFiles.h"
#include "tools/theme/ThemeTable.h"
#include "tools/theme/ToolPlatform.h"

namespace plinka::themetool {

namespace {

constexpr const char* kUsage = R"(Usage: plinka-theme [--bundle DIR] COMMAND ...

Commands:
  list
      The theme names, one a line, in the order the sound controller lists them ("Off",
      the bundle's, then the user's own).
  inspect FILE|NAME
      The theme's table in human terms: one line per slot in use with its state (key-down,
      key-up), key name, key code and what plays (a sound and its length, one of several
      variants, or a text spoken), then the mouse buttons' (mouse-down, mouse-up). NAME is a
      theme of the bundle or the user's.
  dump FILE
      The decoded object graph of any keyed archive as JSON: nil is null, NSArray an array,
      NSDictionary {"$dict": {...}}, data {"$data": BASE64}, NSURL {"$url": URL}, other
      records {"$class": NAME, key: value...}, an object met again inside itself {"$ref": UID}.
  build DIR -o FILE
      A theme file from a folder of audio files and its mapping file DIR/theme.map, every
      sound embedded. Mapping lines (later lines override earlier ones):
          name = NAME                        the theme's name (default: FILE's name)
          key-down KEYS = FILE [FILE...]     one file plays; several: one picked at random
          key-up KEYS = say "TEXT"           speaks the text
          key-up KEYS = silent               plays nothing (every slot's default)
          mouse-down BUTTONS = FILE          the same for the mouse buttons left, right
                                             and middle (mouse-up for their release)
          pitch = CENTS                      each play's pitch varied by up to 0-100 cents
          stereo = yes|no                    each key heard where it sits (default yes)
      KEYS are key names (a, 1, space, return, backspace, shift, right-command, f5,
      keypad-7, ...), key codes (0-254, or 0x..), or groups: %GROUPS%.
      "sample" (254, key-down) is what plays when the theme is chosen. # starts a comment.
  preview THEME TEXT -o OUT.wav [--seed N] [--clicks BUTTONS]
      Types TEXT at a natural pace (8 to 10 keys a second, each held 80 to 120 ms, Shift
      around capitals) through the sound controller and the mixer, then clicks the mouse
      BUTTONS (such as left,left,right; TEXT may then be ""), and writes what the mixer
      produced (48 kHz stereo WAV). THEME is a theme's name or a file path.
  import PACK (-o FILE | --install) [--name NAME] [--split-release]
      A theme from a community sound pack: a folder, or a .zip of one, of a Mechvibes pack
      (config.json, version 1 or 2), a MechvibesDX pack (config_version 2) or of
      bucklespring's files (1e-1.wav ...). Every sound is embedded as WAV; a key or sound that
      can't be taken is a warning and the rest imports. -o FILE writes the theme there, named
      NAME or FILE's name. --install puts it among your themes, named NAME or the pack's name,
      in $XDG_DATA_HOME/plinka/KeySoundThemes (default ~/.local/share/...), where Plinka lists
      it after its own. --split-release gives keys that have no release sound the first half
      of their sound on press and the second half on release.
  check PACK [--split-release]
      What import would make of the pack, and every problem met; writes nothing.

Options:
  --bundle DIR   the Plinka.app bundle to use (default: $PLINKA_BUNDLE, or the one beside
                 this program)
  --help         this text
)";

struct Failure {
    std::string message;
    int status = 1;
};
constexpr int kUsageStatus = 2;

std::string usage() {
    std::string text = kUsage;
    const std::string marker = "%GROUPS%";
    text.replace(text.find(marker), marker.size(), keyGroupNames());
    return text;
}

// Whether the flag is among the arguments, taken out of them.
bool takeFlag(std::vector<std::string>& arguments, const std::string& flag) {
    const auto found = std::find(arguments.begin(), arguments.end(), flag);
    if (found == arguments.end()) {
        return false;
    }
    arguments.erase(found);
    return true;
}

// The value of "-o" (and of any option of `name`) taken out of the arguments.
std::optional<std::string> takeOption(std::vector<std::string>& arguments,
                                      const std::string& name) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == name) {
            if (i + 1 >= arguments.size()) {
                throw Failure{name + " needs a value", kUsageStatus};
            }
            std::string value = arguments[i + 1];
            arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i),
                            arguments.begin() + static_cast<std::ptrdiff_t>(i) + 2);
            return value;
        }
    }
    return std::nullopt;
}

void expectArguments(const std::vector<std::string>& arguments, size_t count,
                     const std::string& command) {
    if (arguments.size() != count) {
        throw Failure{"usage: " + command + " (see plinka-theme --help)", kUsageStatus};
    }
}

void check(bool ok, const std::string& error) {
    if (!ok) {
        throw Failure{error};
    }
}

// Through a temporary file of its own, made new in the same folder: never one that is already
// there, which someone could have planted as a link to another file.
void writeFileAtomically(const std::string& path, const void* bytes, size_t size) {
    const std::filesystem::path target(path);
    std::error_code ignored;
    if (target.has_parent_path()) {
        std::filesystem::create_directories(target.parent_path(), ignored);
    }
    QSaveFile file(QString::fromStdString(path));
    const bool saved = file.open(QIODevice::WriteOnly) &&
                       file.write(static_cast<const char*>(bytes), static_cast<qint64>(size)) ==
                           static_cast<qint64>(size) &&
                       file.commit();
    check(saved, path + ": " + file.errorString().toStdString());
}

std::vector<uint8_t> readFile(const std::string& path) {
    std::error_code ignored;
    const auto problem = whyNotARegularFile(path);
    check(!problem, path + ": " + problem.value_or(""));
    // Nothing larger could be a theme file; a huge one is refused before it is read.
    check(std::filesystem::file_size(path, ignored) <= PlistLimits::kMaxBytes,
          path + ": larger than " + std::to_string(PlistLimits::kMaxBytes) + " bytes");
    std::ifstream in(path, std::ios::binary);
    check(static_cast<bool>(in), path + ": can't open the file");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void list(ToolPlatform& tool, std::ostream& out) {
    check(tool.hasBundle(), "no bundle found: give --bundle DIR");
    AudioKeepAlive keepAlive(tool.platform());
    SoundController controller(tool.platform(), keepAlive);
    for (const auto& name : controller.themeNames()) {
        out << name << "\n";
    }
}

void inspect(ToolPlatform& tool, const std::string& fileOrName, std::ostream& out) {
    std::string error;
    const auto path = resolveThemeFile(fileOrName, tool.platform(), error);
    check(path.has_value(), error);
    size_t unloaded = 0;
    const auto theme = loadThemeFile(*path, tool.platform(), error, &unloaded);
    check(theme != nullptr, error);
    auto& sounds = tool.systemSounds();
    out << "file: " << *path << "\n"
        << describeTheme(*theme,
                         [&](const Sound& sound) { return sounds.durationOf(sound.soundID()); });
    check(unloaded == 0, *path + ": " + std::to_string(unloaded) +
                             " of its sounds could not be loaded (see the lines above)");
}

void dump(const std::string& path, std::ostream& out) {
    std::string error;
    const auto json = archiveToJson(readFile(path), &error);
    check(json.has_value(), path + ": not a keyed archive (" + error + ")");
    out << *json << "\n";
}

void build(ToolPlatform& tool, const std::string& directory, const std::string& output) {
    std::error_code ignored;
    check(std::filesystem::is_directory(directory, ignored), directory + ": no such folder");
    std::string error;
    const auto bytes = buildThemeFromDirectory(
        directory, FileUrl::stringByDeletingPathExtension(FileUrl::lastPathComponent(output)),
        tool.platform(), error);
    check(bytes.has_value(), error);
    writeFileAtomically(output, bytes->data(), bytes->size());
}

void preview(ToolPlatform& tool, const std::string& theme, const std::string& text,
             const std::vector<int>& clicks, const std::string& output, uint64_t seed) {
    std::string error;
    const auto path = resolveThemeFile(theme, tool.platform(), error);
    check(path.has_value(), error);
    const auto audio = renderPreview(tool, *path, text, seed, error, clicks);
    check(audio.has_value(), error);
    check(synth::writeWav(output, *audio, error), error);
}

void printReport(const soundpack::PackReport& report, std::ostream& out, std::ostream& notes) {
    out << "format: " << report.format << "\n"
        << "theme: " << report.name << "\n"
        << "keys: " << report.pressKeys << " pressed, " << report.releaseKeys << " released ("
        << report.variantKeys << " with variants)\n"
        << "sounds: " << report.sounds << " (" << std::fixed << std::setprecision(1)
        << report.seconds << " s, " << (report.audioBytes + 1023) / 1024 << " KB as WAV)\n";
    if (report.buttonSounds > 0) {
        out << "mouse buttons: " << report.buttonSounds << " presses and releases with a sound\n";
    }
    if (report.pitchCents > 0) {
        out << "pitch: varies by up to " << report.pitchCents << " cents\n";
    }
    for (const auto& warning : report.warnings) {
        notes << "warning: " << warning << "\n";
    }
}

void checkPack(const std::string& pack, const soundpack::ImportOptions& options,
               std::ostream& out) {
    std::string error;
    const auto report = soundpack::checkSoundPack(pack, options, error);
    check(report.has_value(), error);
    printReport(*report, out, out);
}

void importPack(ToolPlatform& tool, const std::string& pack,
                const std::optional<std::string>& output, const std::optional<std::string>& name,
                const soundpack::ImportOptions& options, std::ostream& out) {
    std::string error;
    if (!output) {
        const auto report =
            soundpack::installSoundPack(pack, name, options, tool.platform(), error);
        check(report.has_value(), error + (name ? "" : " (give another name with --name)"));
        printReport(*report, out, std::cerr);
        out << "installed: " << *tool.platform().userThemes.folderPath() << "/" << report->name
            << ".plnk\n";
        return;
    }
    const auto imported = soundpack::importSoundPack(
        pack,
        name.value_or(FileUrl::stringByDeletingPathExtension(FileUrl::lastPathComponent(*output))),
        options, tool.platform(), error);
    check(imported.has_value(), error);
    writeFileAtomically(*output, imported->bytes.data(), imported->bytes.size());
    printReport(imported->report, out, std::cerr);
}

uint64_t parseSeed(const std::optional<std::string>& text) {
    if (!text) {
        return 1;
    }
    try {
        size_t end = 0;
        const uint64_t seed = std::stoull(*text, &end);
        if (end == text->size()) {
            return seed;
        }
    } catch (const std::exception&) {
    }
    throw Failure{"--seed needs a whole number, not \"" + *text + "\"", kUsageStatus};
}

// The buttons of "--clicks left,right,middle"; none without the option.
std::vector<int> parseClicks(const std::optional<std::string>& text) {
    std::vector<int> buttons;
    if (!text) {
        return buttons;
    }
    std::istringstream names(*text);
    for (std::string name; std::getline(names, name, ',');) {
        const auto button = mouseButtonForName(name);
        if (!button) {
            throw Failure{"--clicks takes left, right and middle, not \"" + name + "\"",
                          kUsageStatus};
        }
        buttons.push_back(*button);
    }
    return buttons;
}

int run(std::vector<std::string> arguments, std::ostream& out) {
    const auto bundle = takeOption(arguments, "--bundle");
    if (arguments.empty()) {
        throw Failure{"no command (see plinka-theme --help)", kUsageStatus};
    }
    const std::string command = arguments.front();
    arguments.erase(arguments.begin());
    ToolPlatform::Options options;
    options.bundlePath = bundle;
    if (command == "list") {
        expectArguments(arguments, 0, "list");
        ToolPlatform tool(options);
        list(tool, out);
    } else if (command == "inspect") {
        expectArguments(arguments, 1, "inspect FILE|NAME");
        ToolPlatform tool(options);
        inspect(tool, arguments[0], out);
    } else if (command == "dump") {
        expectArguments(arguments, 1, "dump FILE");
        dump(arguments[0], out);
    } else if (command == "build") {
        const auto output = takeOption(arguments, "-o");
        expectArguments(output ? arguments : std::vector<std::string>{}, 1, "build DIR -o FILE");
        ToolPlatform tool(options);
        build(tool, arguments[0], *output);
    } else if (command == "preview") {
        const auto output = takeOption(arguments, "-o");
        options.randomSeed = parseSeed(takeOption(arguments, "--seed"));
        const auto clicks = parseClicks(takeOption(arguments, "--clicks"));
        options.speech = true;
        expectArguments(output ? arguments : std::vector<std::string>{}, 2,
                        "preview THEME TEXT -o OUT.wav");
        ToolPlatform tool(options);
        preview(tool, arguments[0], arguments[1], clicks, *output, options.randomSeed);
    } else if (command == "import") {
        const auto output = takeOption(arguments, "-o");
        const auto name = takeOption(arguments, "--name");
        const bool installing = takeFlag(arguments, "--install");
        const soundpack::ImportOptions importOptions{takeFlag(arguments, "--split-release")};
        expectArguments(installing != output.has_value() ? arguments : std::vector<std::string>{},
                        1, "import PACK (-o FILE | --install) [--name NAME] [--split-release]");
        ToolPlatform tool(options);
        importPack(tool, arguments[0], output, name, importOptions, out);
    } else if (command == "check") {
        const soundpack::ImportOptions importOptions{takeFlag(arguments, "--split-release")};
        expectArguments(arguments, 1, "check PACK [--split-release]");
        checkPack(arguments[0], importOptions, out);
    } else {
        throw Failure{"unknown command \"" + command + "\" (see plinka-theme --help)",
                      kUsageStatus};
    }
    return 0;
}

}  // namespace

int runCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    const bool help = std::any_of(arguments.begin(), arguments.end(), [](const auto& argument) {
        return argument == "--help" || argument == "-h";
    });
    if (help || (!arguments.empty() && arguments[0] == "help")) {
        out << usage();
        return 0;
    }
    try {
        return run(arguments, out);
    } catch (const Failure& failure) {
        err << "plinka-theme: " << failure.message << "\n";
        return failure.status;
    } catch (const std::exception& exception) {
        err << "plinka-theme: " << exception.what() << "\n";
        return 1;
    }
}

}  // namespace plinka::themetool
