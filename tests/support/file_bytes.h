// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whole files as byte strings, and little- and big-endian numbers inside them, for the tests that
// forge or damage table, memo and index files.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace arrowsel::test {

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The four bytes of `v`, least significant first.
inline std::string le32(std::uint32_t v) {
    std::string s(4, '\0');
    for (std::size_t i = 0; i < 4; ++i) {
        s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    return s;
}

// The four bytes of `v`, most significant first.
inline std::string be32(std::uint32_t v) {
    std::string s(4, '\0');
    for (std::size_t i = 0; i < 4; ++i) {
        s[i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
    }
    return s;
}

// The number stored least significant byte first at `at` (throws past the end).
inline std::uint32_t le32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 4; i-- > 0;) {
        v = (v << 8) | static_cast<unsigned char>(bytes.at(at + i));
    }
    return v;
}

// The number stored most significant byte first at `at` (throws past the end).
inline std::uint32_t be32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        v = (v << 8) | static_cast<unsigned char>(bytes.at(at + i));
    }
    return v;
}

inline void putLe32(std::string& bytes, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes.at(at + i) = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

inline void putLe16(std::string& bytes, std::size_t at, std::uint16_t v) {
    bytes.at(at) = static_cast<char>(v & 0xFF);
    bytes.at(at + 1) = static_cast<char>(v >> 8);
}

} // namespace arrowsel::test
