// Importing a community sound pack and loading what it makes, with the real parts: a Mechvibes
// pack of 100 keys, each with its own press (200 ms) and release (100 ms) sound in 44.1 kHz
// stereo Ogg Vorbis, imported from its folder and from a zip, then loaded cold through the
// sound controller as the application loads any theme.
#include <benchmark/benchmark.h>
#include <zip.h>

#include <filesystem>
#include <string>

#include "ScopedEnvironment.h"
#include "ScratchDirectory.h"
#include "platform/UserThemeFolder.h"
#include "platform/linux/LinuxPlatform.h"
#include "sound/AudioKeepAlive.h"
#include "sound/SoundController.h"
#include "tools/SoundPackMaker.h"
#include "tools/soundpack/SoundPackImport.h"

namespace plinka::bench {
namespace {

namespace fs = std::filesystem;

// The 100 Mechvibes codes of a full keyboard: the plain scan codes and the extended keys.
std::vector<int> packCodes() {
    std::vector<int> codes;
    for (int code = 1; code <= 83; ++code) {
        codes.push_back(code);
    }
    for (int code : {87, 88, 3612, 3613, 3637, 3639, 3640, 3653, 3655, 3657, 3663, 3665, 3666, 3667,
                     3675, 3676, 3677}) {
        codes.push_back(code);
    }
    return codes;
}

// A zip holding every file under `folder`, each named `inside` + "/" + its path in the folder.
void zipFolder(const fs::path& folder, const fs::path& zip, const std::string& inside) {
    int error = 0;
    zip_t* archive = zip_open(zip.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr) {
        throw std::runtime_error(zip.string() + ": can't create the zip");
    }
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const std::string relative = entry.path().lexically_relative(folder).generic_string();
        zip_source_t* source = zip_source_file(archive, entry.path().c_str(), 0, -1);
        const std::string name = inside.empty() ? relative : inside + "/" + relative;
        if (source == nullptr || zip_file_add(archive, name.c_str(), source, 0) < 0) {
            zip_source_free(source);
            throw std::runtime_error(name + ": can't add it to the zip");
        }
    }
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        throw std::runtime_error(zip.string() + ": can't write the zip");
    }
}

struct Fixture {
    Fixture()
        : dataHome("XDG_DATA_HOME", scratch.file("data")),
          services(LinuxPlatform::Options{"PlinkaBench", PLINKA_BUNDLE_DIR, {}, true}),
          keepAlive(services.platform()),
          controller(services.platform(), keepAlive) {
        std::string defines;
        int n = 0;
        for (int code : packCodes()) {
            const std::string key = std::to_string(code);
            testing::writeTone(pack / (key + ".ogg"), testing::oggFormat(), 300.0 + 7 * n, 200);
            testing::writeTone(pack / (key + "-up.ogg"), testing::oggFormat(), 2000.0 + 7 * n, 100);
            defines += (n++ == 0 ? "" : ", ") + ("\"" + key + "\": \"" + key + ".ogg\", \"" + key +
                                                 "-up\": \"" + key + "-up.ogg\"");
        }
        testing::writeFile(
            pack / "config.json",
            R"({"name": "Bench Pack", "key_define_type": "multi", "defines": {)" + defines + "}}");
        zipFolder(pack, zip, "Bench Pack");
        std::string error;
        installed = soundpack::installSoundPack(pack, std::nullopt, {}, services.platform(), error);
    }

    testing::ScratchDirectory scratch;
    testing::ScopedEnvironment dataHome;
    fs::path pack = scratch.path() / "pack";
    fs::path zip = scratch.path() / "pack.zip";
    LinuxPlatform services;
    AudioKeepAlive keepAlive;
    SoundController controller;
    // The pack as the cold load finds it, installed once.
    std::optional<soundpack::PackReport> installed;
};

Fixture& fixture() {
    static Fixture shared;
    return shared;
}

void importPack(benchmark::State& state, const fs::path& pack) {
    Fixture& f = fixture();
    soundpack::PackReport report;
    for (auto _ : state) {
        std::string error;
        auto installed =
            soundpack::installSoundPack(pack, std::nullopt, {}, f.services.platform(), error);
        if (!installed) {
            state.SkipWithError(error.c_str());
            return;
        }
        report = std::move(*installed);
    }
    const fs::path theme = *f.services.platform().userThemes.folderPath() + "/Bench Pack.plnk";
    state.counters["theme MB"] = static_cast<double>(fs::file_size(theme)) / (1024 * 1024);
    state.counters["sounds"] = static_cast<double>(report.sounds);
    state.counters["keys"] = static_cast<double>(report.pressKeys);
}

void BM_ImportPackFolder(benchmark::State& state) {
    importPack(state, fixture().pack);
}
BENCHMARK(BM_ImportPackFolder)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ImportPackZip(benchmark::State& state) {
    importPack(state, fixture().zip);
}
BENCHMARK(BM_ImportPackZip)->Unit(benchmark::kMillisecond)->Iterations(5);

// Loading the imported theme from the user's folder: every sound decoded (no resampling: they
// are stored at the mixing rate).
void BM_ColdLoadImportedTheme(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        f.controller.setThemeByName("Off");
        state.ResumeTiming();
        if (!f.controller.setThemeByName("Bench Pack")) {
            state.SkipWithError("the imported theme did not load");
            return;
        }
    }
}
BENCHMARK(BM_ColdLoadImportedTheme)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
}  // namespace plinka::bench
