// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/idx_codec.h"

#include "data/text.h"

#include <algorithm>
#include <cstring>

namespace arrowsel::data::idx {

namespace {

constexpr std::size_t kCompactLogAt = 16;
constexpr std::size_t kCompactLogEnd = 502;
constexpr std::size_t kNonCompactLogAt = 456;
constexpr std::size_t kNonCompactLogEnd = 508;
constexpr std::size_t kLogHead = 22;

constexpr std::uint32_t kLogBlockBits = 23;
constexpr std::uint32_t kLogMaxSpan = (1u << (32 - kLogBlockBits)) - 1;

std::size_t logAt(IndexKind kind) {
    return kind == IndexKind::Compact ? kCompactLogAt : kNonCompactLogAt;
}
std::size_t logEnd(IndexKind kind) {
    return kind == IndexKind::Compact ? kCompactLogEnd : kNonCompactLogEnd;
}

std::size_t logCapacity(IndexKind kind) {
    return (logEnd(kind) - logAt(kind) - kLogHead) / 4;
}

std::uint32_t logChecksum(const unsigned char* log, std::size_t len, std::uint32_t counter) {
    std::uint32_t h = 2166136261u;
    auto mix = [&h](unsigned char b) {
        h ^= b;
        h *= 16777619u;
    };
    for (int i = 0; i < 4; ++i) {
        mix(static_cast<unsigned char>(counter >> (8 * i)));
    }
    for (std::size_t i = 4; i < len; ++i) {
        mix(log[i]);
    }
    return h;
}

std::string cString(const unsigned char* p, std::size_t maxLen, bool& terminated) {
    std::size_t n = 0;
    while (n < maxLen && p[n] != 0) {
        ++n;
    }
    terminated = n < maxLen;
    return std::string(trimTrailingSpaces(std::string_view(reinterpret_cast<const char*>(p), n)));
}

} // namespace

void damaged(const std::string& file, const std::string& why) {
    throw EIndexDamaged("Index file " + file + " is damaged: " + why + ".", why);
}

bool decodeChangeList(const unsigned char* h, IndexKind kind, std::uint32_t counter, ChangeList& out) {
    const unsigned char* p = h + logAt(kind);
    const std::size_t len = logEnd(kind) - logAt(kind);
    const std::size_t n = getLE16(p + 20);
    if (getLE32(p) != logChecksum(p, len, counter) || n > logCapacity(kind)) {
        return false;
    }
    const std::uint32_t since = getLE32(p + 4);
    out.since = since;
    if (since > counter) {
        return false;
    }
    out.time.tv_sec = static_cast<time_t>(getLE32(p + 8) | (std::uint64_t{getLE32(p + 12)} << 32));
    out.time.tv_nsec = static_cast<long>(getLE32(p + 16));
    out.blocks.clear();
    std::uint32_t prev = since;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t v = getLE32(p + kLogHead + 4 * i);
        const LogPair pair{since + (v >> kLogBlockBits),
                           (v & ((1u << kLogBlockBits) - 1)) * static_cast<std::uint32_t>(kNodeSize)};
        if (pair.counter <= since || pair.counter > counter || pair.counter < prev) {
            return false;
        }
        prev = pair.counter;
        out.blocks.push_back(pair);
    }
    return true;
}

void encodeChangeList(unsigned char* h, IndexKind kind, std::uint32_t counter, const ChangeList& list) {
    unsigned char* p = h + logAt(kind);
    const std::size_t len = logEnd(kind) - logAt(kind);
    std::memset(p, 0, len);
    putLE32(p + 4, list.since);
    const auto sec = static_cast<std::uint64_t>(list.time.tv_sec);
    putLE32(p + 8, static_cast<std::uint32_t>(sec));
    putLE32(p + 12, static_cast<std::uint32_t>(sec >> 32));
    putLE32(p + 16, static_cast<std::uint32_t>(list.time.tv_nsec));
    putLE16(p + 20, static_cast<std::uint16_t>(list.blocks.size()));
    for (std::size_t i = 0; i < list.blocks.size(); ++i) {
        const std::uint32_t block = list.blocks[i].offset / static_cast<std::uint32_t>(kNodeSize);
        putLE32(p + kLogHead + 4 * i, ((list.blocks[i].counter - list.since) << kLogBlockBits) | block);
    }
    putLE32(p, logChecksum(p, len, counter));
}

void noteGroup(ChangeList& list, IndexKind kind, std::uint32_t counter, std::vector<std::uint32_t> offsets,
               bool& unsound) {
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    const std::size_t cap = logCapacity(kind);
    auto& log = list.blocks;
    if (unsound || offsets.size() > cap) {
        log.clear();
        list.since = counter;
        unsound = false;
        return;
    }
    while (!log.empty() && (log.size() + offsets.size() > cap || counter - list.since > kLogMaxSpan)) {
        const std::uint32_t oldest = log.front().counter;
        const auto end =
            std::find_if(log.begin(), log.end(), [oldest](const LogPair& p) { return p.counter != oldest; });
        log.erase(log.begin(), end);
        list.since = oldest;
    }
    if (log.empty()) {
        list.since = counter - 1;
    }
    for (std::uint32_t off : offsets) {
        log.push_back(LogPair{counter, off});
    }
}

std::size_t parseHeader(const unsigned char* h, std::uint64_t size, const std::string& file, HeaderFields& out) {
    const std::uint8_t options = h[14];
    out.kind = (options & kOptCompact) ? IndexKind::Compact : IndexKind::NonCompact;
    const std::size_t hsize = headerSize(out.kind);
    if (size < hsize + kNodeSize) {
        damaged(file, "the file is shorter than its header and root node");
    }
    if (options & kOptCompound) {
        damaged(file, "it is a compound index (.cdx), not a single-order index");
    }
    out.unique = (options & kOptUnique) != 0;
    out.hasFor = (options & kOptFor) != 0;
    out.signature = h[15];
    out.keyLength = getLE16(h + 12);
    if (out.keyLength < 1 || out.keyLength > 100) {
        damaged(file, "the key length " + std::to_string(out.keyLength) + " is outside 1 to 100");
    }
    bool terminated = false;
    if (out.kind == IndexKind::NonCompact) {
        out.exprText = cString(h + 16, 220, terminated);
        if (!terminated) {
            damaged(file, "the key expression is not terminated");
        }
        out.forText = cString(h + 236, 220, terminated);
        out.counter = getLE32(h + kNonCompactCounterAt);
    } else {
        if (getLE16(h + 502) != 0) {
            damaged(file, "descending order is not supported");
        }
        out.exprText = cString(h + 512, 512, terminated);
        if (!terminated) {
            damaged(file, "the key expression is not terminated");
        }
        const std::size_t forAt = 512 + std::strlen(reinterpret_cast<const char*>(h + 512)) + 1;
        out.forText = cString(h + forAt, 1024 - forAt, terminated);
        out.counter = getLE32(h + kCompactCounterAt);
    }
    if (out.exprText.empty()) {
        damaged(file, "the key expression is empty");
    }
    if (!decodeChangeList(h, out.kind, out.counter, out.changes)) {
        out.changes.blocks.clear();
        out.changes.since = out.counter; // nothing is known of the groups before this one
    }
    if (!out.hasFor) {
        out.forText.clear();
    }
    return hsize;
}

void encodeHeader(unsigned char* h, const HeaderFields& f, std::uint32_t rootOffset, std::uint64_t fileEnd) {
    // Zeroed whole first: the expressions copied in below end in the zeros after them.
    std::memset(h, 0, headerSize(f.kind));
    putLE32(h, rootOffset);
    putLE32(h + 4, kNone);
    putLE16(h + 12, static_cast<std::uint16_t>(f.keyLength));
    std::uint8_t options = f.unique ? kOptUnique : 0;
    if (f.hasFor) {
        options |= kOptFor;
    }
    h[15] = f.signature;
    if (f.kind == IndexKind::NonCompact) {
        putLE32(h + 8, static_cast<std::uint32_t>(fileEnd));
        h[14] = options;
        std::copy_n(f.exprText.data(), std::min<std::size_t>(f.exprText.size(), 219), h + 16);
        std::copy_n(f.forText.data(), std::min<std::size_t>(f.forText.size(), 219), h + 236);
        putLE32(h + kNonCompactCounterAt, f.counter);
        encodeChangeList(h, f.kind, f.counter, f.changes);
    } else {
        putLE32(h + kCompactCounterAt, f.counter);
        h[14] = static_cast<std::uint8_t>(options | kOptCompact);
        const std::size_t keyLen = std::min<std::size_t>(f.exprText.size(), 510);
        const std::size_t forLen = std::min<std::size_t>(f.forText.size(), 510 - keyLen);
        putLE16(h + 502, 0);
        putLE16(h + 504, static_cast<std::uint16_t>(keyLen + 1 + forLen + 1));
        putLE16(h + 506, static_cast<std::uint16_t>(forLen + 1));
        putLE16(h + 510, static_cast<std::uint16_t>(keyLen + 1));
        std::copy_n(f.exprText.data(), keyLen, h + 512);
        std::copy_n(f.forText.data(), forLen, h + 512 + keyLen + 1);
        encodeChangeList(h, f.kind, f.counter, f.changes);
    }
}

std::optional<IndexHeader> statedHeader(const unsigned char* h, std::size_t got) {
    if (got < kNodeSize) {
        return std::nullopt;
    }
    IndexHeader out;
    const std::uint8_t options = h[14];
    if ((options & kOptCompound) != 0 || (options & kOptFor) != 0) {
        return std::nullopt;
    }
    out.unique = (options & kOptUnique) != 0;
    out.kind = (options & kOptCompact) ? IndexKind::Compact : IndexKind::NonCompact;
    const unsigned char* text = h + 16;
    std::size_t room = 220;
    if (out.kind == IndexKind::Compact) {
        if (got < 2 * kNodeSize) {
            return std::nullopt;
        }
        text = h + 512;
        room = 512;
    }
    const auto* end = static_cast<const unsigned char*>(std::memchr(text, 0, room));
    if (end == nullptr) {
        return std::nullopt;
    }
    out.expression =
        trimTrailingSpaces(std::string_view(reinterpret_cast<const char*>(text), static_cast<std::size_t>(end - text)));
    if (out.expression.empty()) {
        return std::nullopt;
    }
    return out;
}

} // namespace arrowsel::data::idx
