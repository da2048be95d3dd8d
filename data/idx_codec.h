// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The header of an .idx file and the leaves' entries, to and from bytes (no file is touched here).
// Internal to data/.
//
// Header: the root's offset at 0, the free list at 4 (-1: this engine keeps none), the end of the
// file at 8 (non-compact only), the key length at 12, the options at 14 (unique 0x01, FOR 0x08,
// compact 0x20, compound 0x40) and a signature at 15. A non-compact header (512 bytes) holds the
// key expression at 16 and the FOR expression at 236; a compact one (1024 bytes) its expression
// pool at 512, its lengths at 504-511 and the order (0: ascending) at 502.
//
// This engine's own choices: a change counter at bytes 8-11 of a compact header and 508-511 of a
// non-compact one, raised by every change; beside it, in reserved bytes, the list of blocks the
// latest groups of changes wrote and the modification time the last group gave the file (another
// program's write leaves the list as it was, and so shows as another time).

#include "data/idx_node.h"
#include "data/index_file.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace arrowsel::data::idx {

inline constexpr int kMaxDepth = 64;
inline constexpr std::uint8_t kOptUnique = 0x01;
inline constexpr std::uint8_t kOptFor = 0x08;
inline constexpr std::uint8_t kOptCompact = 0x20;
inline constexpr std::uint8_t kOptCompound = 0x40;
// Where this engine keeps its change counter: reserved bytes 8-11 of a compact header, unused
// bytes 508-511 of a non-compact one.
inline constexpr std::size_t kCompactCounterAt = 8;
inline constexpr std::size_t kNonCompactCounterAt = 508;

inline std::size_t headerSize(IndexKind kind) {
    return kind == IndexKind::Compact ? 2 * kNodeSize : kNodeSize;
}
inline std::size_t counterOffset(IndexKind kind) {
    return kind == IndexKind::Compact ? kCompactCounterAt : kNonCompactCounterAt;
}

// One block that the group of changes with this counter wrote.
struct LogPair {
    std::uint32_t counter = 0;
    std::uint32_t offset = 0;
};

// Where this engine lists the blocks its latest groups of writes changed, so that a reader who
// read the file a few groups ago reads again only those blocks: reserved bytes 16-501 of a compact
// header, unused bytes 456-507 of a non-compact one. Layout: a checksum of the rest and of the
// counter; the counter below which nothing is listed; the modification time the last group gave
// the file (seconds as 8 bytes, nanoseconds as 4), which another program's write replaces; the
// number of entries; then one 4-byte entry per block, oldest group first, whole groups only: the
// block number (offset / 512) in the low 23 bits, the group's counter less that first counter in
// the high 9.
struct ChangeList {
    std::uint32_t since = 0; // groups after this counter are listed in `blocks`
    timespec time{};
    std::vector<LogPair> blocks;
};

// The list of changed blocks in header `h` whose counter is `counter`, into `out`; false when
// there is none this engine wrote (another program's header, or one it changed since). `out` may
// be partly set even then.
bool decodeChangeList(const unsigned char* h, IndexKind kind, std::uint32_t counter, ChangeList& out);
void encodeChangeList(unsigned char* h, IndexKind kind, std::uint32_t counter, const ChangeList& list);

// Lists the blocks of the group with counter `counter` (the one now being written), dropping the
// oldest groups to make room; a list that is `unsound` (another program may have written since
// our last group) or too small starts again at this group, and is sound from then on.
void noteGroup(ChangeList& list, IndexKind kind, std::uint32_t counter, std::vector<std::uint32_t> offsets,
               bool& unsound);

// What a header says.
struct HeaderFields {
    IndexKind kind = IndexKind::Compact;
    std::string exprText;
    std::string forText;
    bool unique = false;
    bool hasFor = false;
    int keyLength = 0;
    std::uint8_t signature = 0;
    std::uint32_t counter = 0;
    ChangeList changes;
};

// Throws EIndexDamaged for index file `file`, saying `why`.
[[noreturn]] void damaged(const std::string& file, const std::string& why);

// The header's options, key length and expressions into `out`. `h` holds the file's first two
// blocks (as much of them as the file, `size` bytes, has); returns the header's size.
std::size_t parseHeader(const unsigned char* h, std::uint64_t size, const std::string& file, HeaderFields& out);

// Writes the header (headerSize(fields.kind) bytes) of a tree whose root is at `rootOffset`, the
// file ending at `fileEnd`.
void encodeHeader(unsigned char* h, const HeaderFields& fields, std::uint32_t rootOffset, std::uint64_t fileEnd);

// What the first `got` bytes of a file (up to two blocks, in `h`) state as its kind, key
// expression and uniqueness; nullopt when they are too few, or name a FOR clause or a compound
// index.
std::optional<IndexHeader> statedHeader(const unsigned char* h, std::size_t got);

inline std::string nodeAt(std::uint32_t off) {
    return "node at offset " + std::to_string(off);
}

// The `count` entries of a non-compact leaf `p` at `off`, each handed to `sink(key, recno)`.
template <typename Sink>
void decodeNonCompactLeaf(const unsigned char* p, std::uint32_t off, std::uint16_t count, int keyLength,
                          const std::string& file, Sink&& sink) {
    if (count > nonCompactCapacity(keyLength)) {
        damaged(file, "the " + nodeAt(off) + " holds " + std::to_string(count) + " keys");
    }
    const std::size_t entrySize = static_cast<std::size_t>(keyLength) + 4;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* e = p + 12 + i * entrySize;
        sink(std::string(reinterpret_cast<const char*>(e), static_cast<std::size_t>(keyLength)),
             getBE32(e + keyLength));
    }
}

// The same for a compact leaf, whose keys' trailing bytes are `pad`.
template <typename Sink>
void decodeCompactLeaf(const unsigned char* p, std::uint32_t off, std::uint16_t count, int keyLength, char pad,
                       const std::string& file, Sink&& sink) {
    if (count == 0) {
        return;
    }
    const int r = p[20];
    const int d = p[21];
    const int t = p[22];
    const int e = p[23];
    if (e < 1 || e > 8 || r < 1 || r > 32 || d > 16 || t > 16 || r + d + t > 8 * e) {
        damaged(file, "the " + nodeAt(off) + " has invalid bit counts");
    }
    const std::size_t entryEnd = 24 + static_cast<std::size_t>(count) * static_cast<std::size_t>(e);
    if (entryEnd > kNodeSize) {
        damaged(file, "the " + nodeAt(off) + " holds " + std::to_string(count) + " keys");
    }
    const std::uint64_t recMask = (std::uint64_t{1} << r) - 1;
    const std::uint64_t dupMask = (std::uint64_t{1} << d) - 1;
    const std::uint64_t trailMask = (std::uint64_t{1} << t) - 1;
    const auto kl = static_cast<std::size_t>(keyLength);
    std::size_t keyPos = kNodeSize;
    std::string prev;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* q = p + 24 + i * static_cast<std::size_t>(e);
        std::uint64_t v = 0;
        for (int b = 0; b < e; ++b) {
            v |= static_cast<std::uint64_t>(q[b]) << (8 * b);
        }
        const auto recno = static_cast<std::uint32_t>(v & recMask);
        const auto dup = static_cast<std::size_t>((v >> r) & dupMask);
        const auto trail = static_cast<std::size_t>((v >> (r + d)) & trailMask);
        if (dup + trail > kl || (i == 0 && dup != 0)) {
            damaged(file, "the " + nodeAt(off) + " has invalid key compression");
        }
        const std::size_t stored = kl - dup - trail;
        if (keyPos < entryEnd + stored) {
            damaged(file, "the keys overflow the " + nodeAt(off));
        }
        keyPos -= stored;
        std::string key;
        key.reserve(kl);
        key.append(prev, 0, dup);
        key.append(reinterpret_cast<const char*>(p + keyPos), stored);
        key.append(trail, pad);
        prev = key;
        sink(std::move(key), recno);
    }
}

} // namespace arrowsel::data::idx
