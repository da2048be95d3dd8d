// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/idx_node.h"

#include <algorithm>
#include <cstring>

namespace arrowsel::data::idx {

int bitsFor(std::uint64_t value) {
    int bits = 0;
    while (value != 0) {
        ++bits;
        value >>= 1;
    }
    return bits;
}

LeafLayout leafLayout(int keyLength, std::uint32_t maxRecno) {
    LeafLayout l;
    l.dupBits = bitsFor(static_cast<std::uint64_t>(keyLength));
    l.trailBits = l.dupBits;
    const int need = std::max(1, bitsFor(maxRecno)) + l.dupBits + l.trailBits;
    l.entryBytes = (need + 7) / 8;
    // The record number takes every bit left over, up to the 32 its mask can hold.
    l.recBits = std::min(32, l.entryBytes * 8 - l.dupBits - l.trailBits);
    return l;
}

int trailingCount(std::string_view key, char pad) {
    std::size_t n = key.size();
    while (n > 0 && key[n - 1] == pad) {
        --n;
    }
    return static_cast<int>(key.size() - n);
}

int sharedCount(std::string_view prev, int prevTrail, std::string_view key, int trail) {
    const std::size_t limit =
        std::min(prev.size() - static_cast<std::size_t>(prevTrail), key.size() - static_cast<std::size_t>(trail));
    std::size_t n = 0;
    while (n < limit && prev[n] == key[n]) {
        ++n;
    }
    return static_cast<int>(n);
}

bool encodeCompactLeaf(unsigned char* node, std::span<const IndexEntry> entries, int keyLength, char pad,
                       std::uint16_t attributes, std::uint32_t left, std::uint32_t right) {
    std::uint32_t maxRecno = 0;
    for (const IndexEntry& e : entries) {
        maxRecno = std::max(maxRecno, e.recno);
    }
    const LeafLayout lay = leafLayout(keyLength, maxRecno);
    const auto e = static_cast<std::size_t>(lay.entryBytes);
    if (entries.size() * e > kCompactLeafSpace) {
        return false;
    }
    std::memset(node, 0, kNodeSize);
    putLE16(node, attributes);
    putLE16(node + 2, static_cast<std::uint16_t>(entries.size()));
    putLE32(node + 4, left);
    putLE32(node + 8, right);
    const std::uint32_t recMask =
        lay.recBits >= 32 ? 0xFFFFFFFFu : ((std::uint32_t{1} << lay.recBits) - 1);
    putLE32(node + 14, recMask);
    node[18] = static_cast<unsigned char>((1u << lay.dupBits) - 1);
    node[19] = static_cast<unsigned char>((1u << lay.trailBits) - 1);
    node[20] = static_cast<unsigned char>(lay.recBits);
    node[21] = static_cast<unsigned char>(lay.dupBits);
    node[22] = static_cast<unsigned char>(lay.trailBits);
    node[23] = static_cast<unsigned char>(lay.entryBytes);

    const std::size_t entryEnd = 24 + entries.size() * e;
    std::size_t keyPos = kNodeSize;
    std::string_view prev;
    int prevTrail = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string_view key(entries[i].key);
        const int trail = trailingCount(key, pad);
        const int dup = i == 0 ? 0 : sharedCount(prev, prevTrail, key, trail);
        const auto stored = static_cast<std::size_t>(keyLength - dup - trail);
        if (keyPos < entryEnd + stored) {
            return false;
        }
        keyPos -= stored;
        std::memcpy(node + keyPos, key.data() + dup, stored);
        const std::uint64_t v = static_cast<std::uint64_t>(entries[i].recno) |
                                (static_cast<std::uint64_t>(dup) << lay.recBits) |
                                (static_cast<std::uint64_t>(trail) << (lay.recBits + lay.dupBits));
        unsigned char* p = node + 24 + i * e;
        for (std::size_t b = 0; b < e; ++b) {
            p[b] = static_cast<unsigned char>(v >> (8 * b));
        }
        prev = key;
        prevTrail = trail;
    }
    putLE16(node + 12, static_cast<std::uint16_t>(keyPos - entryEnd));
    return true;
}

} // namespace arrowsel::data::idx
