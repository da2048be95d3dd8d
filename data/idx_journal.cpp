// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/idx_journal.h"

#include "data/idx_node.h"

#include <cstring>

namespace arrowsel::data::idx {
namespace {

constexpr char kMagic[8] = {'A', 'S', 'I', 'X', 'J', 'R', 'N', '1'};
constexpr std::size_t kHeadSize = 8 + 4 + 4 + 4 + 8 + 8 + 4;
constexpr std::size_t kSumSize = 8;

std::uint64_t fnv1a(std::string_view bytes) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ull;
    }
    return h;
}

void put32(std::string& out, std::uint32_t v) {
    unsigned char b[4];
    putLE32(b, v);
    out.append(reinterpret_cast<const char*>(b), 4);
}

void put64(std::string& out, std::uint64_t v) {
    put32(out, static_cast<std::uint32_t>(v));
    put32(out, static_cast<std::uint32_t>(v >> 32));
}

std::uint32_t get32(std::string_view s, std::size_t at) {
    return getLE32(reinterpret_cast<const unsigned char*>(s.data() + at));
}

std::uint64_t get64(std::string_view s, std::size_t at) {
    return get32(s, at) | (static_cast<std::uint64_t>(get32(s, at + 4)) << 32);
}

} // namespace

std::string encodeJournal(const Journal& journal) {
    std::string out(kMagic, sizeof kMagic);
    put32(out, static_cast<std::uint32_t>(journal.writes.size()));
    put32(out, journal.counterBefore);
    put32(out, journal.counterAfter);
    put64(out, journal.fileId);
    put64(out, journal.newLength);
    put32(out, journal.flags);
    for (const JournalWrite& w : journal.writes) {
        put32(out, w.offset);
        put32(out, static_cast<std::uint32_t>(w.bytes.size()));
        out += w.bytes;
    }
    put64(out, fnv1a(out));
    return out;
}

std::optional<Journal> decodeJournal(std::string_view bytes) {
    if (bytes.size() < kHeadSize + kSumSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        return std::nullopt;
    }
    Journal j;
    const std::uint32_t count = get32(bytes, 8);
    j.counterBefore = get32(bytes, 12);
    j.counterAfter = get32(bytes, 16);
    j.fileId = get64(bytes, 20);
    j.newLength = get64(bytes, 28);
    j.flags = get32(bytes, 36);
    std::size_t at = kHeadSize;
    // Every write takes at least its 8-byte head, which bounds the count before anything is reserved.
    if (count > (bytes.size() - at) / 8) {
        return std::nullopt;
    }
    j.writes.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (bytes.size() - at < 8 + kSumSize) {
            return std::nullopt;
        }
        JournalWrite w;
        w.offset = get32(bytes, at);
        const std::uint32_t length = get32(bytes, at + 4);
        at += 8;
        if (length > bytes.size() - at - kSumSize || std::uint64_t{w.offset} + length > 0xFFFFFFFFull) {
            return std::nullopt;
        }
        w.bytes.assign(bytes.data() + at, length);
        at += length;
        j.writes.push_back(std::move(w));
    }
    if (bytes.size() - at < kSumSize || get64(bytes, at) != fnv1a(bytes.substr(0, at))) {
        return std::nullopt;
    }
    if (j.newLength > 0xFFFFFFFFull) {
        return std::nullopt;
    }
    return j;
}

std::filesystem::path journalPath(const std::filesystem::path& index) {
    std::filesystem::path p = index;
    p += ".jnl";
    return p;
}

} // namespace arrowsel::data::idx
