#pragma once

#include <memory>
#include <string>

#include "tools/soundpack/PackFiles.h"

namespace plinka::soundpack {

// A pack that is a folder: its files found by a bounded walk (symbolic links to folders are not
// followed), read only when they are regular files inside the folder.
std::unique_ptr<PackFiles> openFolderPack(const std::string& folder, std::string& error);

}  // namespace plinka::soundpack
