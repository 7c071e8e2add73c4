#pragma once

#include <memory>
#include <string>

#include "tools/soundpack/PackFiles.h"

namespace plinka::soundpack {

// A pack that is a zip of one: read in memory by libzip, each entry within its stated size and
// the caller's limit (a compression bomb stops at the limit); entries whose names would leave the
// pack are left out and noted.
std::unique_ptr<PackFiles> openZipPack(const std::string& zipFile, std::string& error);

}  // namespace plinka::soundpack
