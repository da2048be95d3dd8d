// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Encoding and decoding of single .idx nodes (512 bytes), both kinds. Internal to data/.

#include "data/index_file.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace arrowsel::data::idx {

inline constexpr std::size_t kNodeSize = 512;
inline constexpr std::uint32_t kNone = 0xFFFFFFFFu;
inline constexpr std::uint16_t kAttrRoot = 1;
inline constexpr std::uint16_t kAttrLeaf = 2;
inline constexpr std::size_t kCompactLeafSpace = 488;  // bytes 24..511

inline std::uint32_t getLE32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint16_t getLE16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t getBE32(const unsigned char* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}
inline void putLE32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<unsigned char>(v >> (8 * i));
    }
}
inline void putLE16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
inline void putBE32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<unsigned char>(v >> (24 - 8 * i));
    }
}

// Most entries of a non-compact node (leaf or interior) and of a compact interior node.
inline int nonCompactCapacity(int keyLength) {
    return 500 / (keyLength + 4);
}
inline int compactInteriorCapacity(int keyLength) {
    return 500 / (keyLength + 8);
}

// Bit layout of one compact leaf: record number in the low R bits, then D bits of duplicate
// count, then T bits of trailing count, E bytes per entry.
struct LeafLayout {
    int recBits = 0;
    int dupBits = 0;
    int trailBits = 0;
    int entryBytes = 0;
};

int bitsFor(std::uint64_t value);

// The layout for a leaf of keys of `keyLength` bytes whose highest record number is `maxRecno`.
LeafLayout leafLayout(int keyLength, std::uint32_t maxRecno);

// Trailing pad bytes of a key (blanks for character keys, NULs for numeric and date keys).
int trailingCount(std::string_view key, char pad);

// Bytes of `key` shared with `prev` that an entry may take from it: never into the previous
// key's own trailing pad (some readers rebuild that with NULs), never overlapping this key's pad.
int sharedCount(std::string_view prev, int prevTrail, std::string_view key, int trail);

// Writes a compact leaf of `entries`; false (node unspecified) when they do not fit.
bool encodeCompactLeaf(unsigned char* node, std::span<const IndexEntry> entries, int keyLength, char pad,
                       std::uint16_t attributes, std::uint32_t left, std::uint32_t right);

} // namespace arrowsel::data::idx
