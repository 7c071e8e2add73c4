#pragma once

#include <optional>
#include <string>

class QWidget;

namespace plinka {

// Asks for a sound pack: a folder, or a .zip file, in one file dialog. nullopt when the person
// cancels.
std::optional<std::string> askForSoundPack(QWidget* parent);

}  // namespace plinka
