// Small helpers of the tests that make real trees of files.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace orvasel::testing {

// A path as the program holds it: UTF-8 bytes, whatever the system's own encoding.
inline std::string utf8(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// Writes the bytes as they are, making the folders on the way.
inline void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace orvasel::testing
