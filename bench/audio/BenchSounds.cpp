#include "BenchSounds.h"

#include <sndfile.h>

#include <stdexcept>

namespace plinka::bench {

SystemSoundID makeClick(SystemSoundService& service, const testing::ScratchDirectory& dir) {
    const std::string path = dir.file("click.wav");
    testing::writeSoundFile(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1,
                            testing::sineSamples(4410, 44100, 2000.0, 0.5f));
    SystemSoundID id = 0;
    if (service.createSystemSoundID(testing::urlOf(path), &id) != kNoErr) {
        throw std::runtime_error("cannot make the click sound");
    }
    return id;
}

}  // namespace plinka::bench
