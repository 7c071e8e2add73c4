#pragma once

#include <QJsonObject>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plinka::soundpack {

// The text with what packs' config.json files hold beyond JSON made blank: a UTF-8 byte-order
// mark, and commas before a closing bracket (outside strings), which Qt's parser rejects.
// Blanking keeps every offset, so parse errors point at the right line.
std::string blankTrailingCommas(std::string text);

// config.json's top object; nullopt with one line of reason (and where, for bad JSON).
std::optional<QJsonObject> parsePackConfig(const std::vector<uint8_t>& bytes, std::string& error);

}  // namespace plinka::soundpack
