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

// Writes a program (a script) its owner may run, making its folders.
inline void writeProgram(const std::filesystem::path& file, const std::string& contents) {
    writeFile(file, contents);
    std::filesystem::permissions(file, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add);
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
