#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace plinka::testing {

// Writes the file, making its folders.
inline void writeFile(const std::filesystem::path& file, const std::string& contents) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << contents;
}
inline void writeFile(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
    writeFile(file, std::string(bytes.begin(), bytes.end()));
}

// The file's bytes; empty when it cannot be read.
inline std::string fileContents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A file of raw 32-bit floats, as SDL's disk audio driver writes them.
inline std::vector<float> readFloats(const std::filesystem::path& file) {
    const std::string bytes = fileContents(file);
    std::vector<float> samples(bytes.size() / sizeof(float));
    if (!samples.empty()) {  // an empty vector's data() may be null, which memcpy must not get
        std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    }
    return samples;
}

}  // namespace plinka::testing
