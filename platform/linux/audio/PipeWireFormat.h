#pragma once

#include <spa/param/audio/format-utils.h>

#include <cstdint>

namespace plinka::audio {

// The one format Plinka's PipeWire streams offer, float stereo at `rate`, built into `builder`.
inline const spa_pod* floatStereoFormat(spa_pod_builder& builder, uint32_t rate) {
    spa_audio_info_raw format{};
    format.format = SPA_AUDIO_FORMAT_F32;
    format.rate = rate;
    format.channels = 2;
    format.position[0] = SPA_AUDIO_CHANNEL_FL;
    format.position[1] = SPA_AUDIO_CHANNEL_FR;
    return spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &format);
}

}  // namespace plinka::audio
