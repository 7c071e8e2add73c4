#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "tools/soundpack/PackAudio.h"
#include "tools/soundpack/PackPlan.h"
#include "tools/soundpack/SoundPackImport.h"

namespace plinka::soundpack {

class PackFiles;

// Takes each sound made: its file name and its clip; false with the reason stops the import.
using KeepSound =
    std::function<bool(const std::string& wavName, const Clip& clip, std::string& error)>;

// Makes the sound of every source the plan names, each once, from the pack's files (the plan's
// names start in `folder`). A file or slice that fails is one warning in the report, naming the
// keys it leaves out; the report counts what was made. The file name of each sound made, by
// source; nullopt with the reason when the sounds pass the bounds of a theme.
std::optional<std::map<SoundSource, std::string>> makeSounds(const PackPlan& plan, PackFiles& files,
                                                             const std::string& folder,
                                                             PackReport& report,
                                                             const KeepSound& keep,
                                                             std::string& error);

// The text cut to at most `bytes` bytes, never inside a UTF-8 character: names made from a
// pack's stay file names.
std::string cutToUtf8Bytes(std::string text, size_t bytes);

}  // namespace plinka::soundpack
