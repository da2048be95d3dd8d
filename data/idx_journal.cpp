// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/idx_journal.h"

#include "data/file_io.h"
#include "data/idx_node.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace arrowsel::data::idx {
namespace {

constexpr char kMagic[8] = {'A', 'S', 'I', 'X', 'J', 'R', 'N', '1'};
constexpr std::size_t kHeadSize = 8 + 4 + 4 + 4 + 8 + 8 + 4;
constexpr std::size_t kSumSize = 8;

std::uint64_t fnv1a(std::string_view bytes) { // the checksum Scan keeps as it reads
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

namespace {

// Reads a journal front to back through a buffer, keeping the running checksum.
class Scan {
public:
    Scan(const ReadAt& read, std::uint64_t size) : read_(read), size_(size) {}

    std::uint64_t at() const { return at_; }
    std::uint64_t left() const { return size_ - at_; }
    std::uint64_t sum() const { return sum_; }

    // The next `n` bytes into `out` (or only through the checksum when `out` is null); false
    // when the reader gives fewer.
    bool take(char* out, std::uint64_t n, bool summed = true) {
        while (n > 0) {
            if (pos_ == buf_.size()) {
                const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, size_ - at_));
                buf_.resize(want);
                buf_.resize(want == 0 ? 0 : read_(at_, buf_.data(), want));
                pos_ = 0;
                if (buf_.empty()) {
                    return false;
                }
            }
            const auto k = static_cast<std::size_t>(std::min<std::uint64_t>(n, buf_.size() - pos_));
            const std::string_view part(buf_.data() + pos_, k);
            if (summed) {
                for (const char c : part) {
                    sum_ ^= static_cast<unsigned char>(c);
                    sum_ *= 0x100000001b3ull;
                }
            }
            if (out != nullptr) {
                out = std::copy_n(part.data(), k, out);
            }
            pos_ += k;
            at_ += k;
            n -= k;
        }
        return true;
    }

private:
    static constexpr std::size_t kChunk = std::size_t{64} * 1024;
    const ReadAt& read_;
    std::uint64_t size_;
    std::uint64_t at_ = 0;
    std::uint64_t sum_ = 0xcbf29ce484222325ull;
    std::string buf_;
    std::size_t pos_ = 0;
};

constexpr std::uint64_t kMaxWholeFile = 0xFFFFFFFFull; // an index file's offsets are 32 bits

// One pass over the journal; with `keep`, its writes are kept in `j`.
bool scanJournal(const ReadAt& read, std::uint64_t size, std::uint64_t maxNodeBytes, Journal& j, bool keep) {
    if (size < kHeadSize + kSumSize) {
        return false;
    }
    Scan in(read, size);
    char head[kHeadSize];
    if (!in.take(head, kHeadSize) || std::memcmp(head, kMagic, sizeof kMagic) != 0) {
        return false;
    }
    const std::string_view h(head, kHeadSize);
    const std::uint32_t count = get32(h, 8);
    j.counterBefore = get32(h, 12);
    j.counterAfter = get32(h, 16);
    j.fileId = get64(h, 20);
    j.newLength = get64(h, 28);
    j.flags = get32(h, 36);
    if (j.newLength > kMaxWholeFile) {
        return false;
    }
    const std::uint64_t maxPayload = (j.flags & Journal::kWholeFile) != 0 ? kMaxWholeFile : maxNodeBytes;
    // Every write takes at least its 8-byte head, which bounds the count before anything is reserved.
    if (count > (size - kHeadSize) / 8) {
        return false;
    }
    if (keep) {
        j.writes.reserve(count);
    }
    std::uint64_t payload = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        char wh[8];
        if (in.left() < 8 + kSumSize || !in.take(wh, 8)) {
            return false;
        }
        const std::string_view w(wh, 8);
        const std::uint32_t offset = get32(w, 0);
        const std::uint32_t length = get32(w, 4);
        payload += length;
        if (length > in.left() - kSumSize || std::uint64_t{offset} + length > 0xFFFFFFFFull || payload > maxPayload) {
            return false;
        }
        if (keep) {
            JournalWrite& out = j.writes.emplace_back();
            out.offset = offset;
            out.bytes.resize(length);
            if (!in.take(out.bytes.data(), length)) {
                return false;
            }
        } else if (!in.take(nullptr, length)) {
            return false;
        }
    }
    const std::uint64_t expected = in.sum();
    char sum[kSumSize];
    if (in.left() < kSumSize || !in.take(sum, kSumSize, false)) {
        return false;
    }
    return get64(std::string_view(sum, kSumSize), 0) == expected;
}

} // namespace

std::optional<Journal> decodeJournal(const ReadAt& read, std::uint64_t size, std::uint64_t maxNodeBytes) {
    Journal j;
    if (!scanJournal(read, size, maxNodeBytes, j, false)) {
        return std::nullopt;
    }
    if (!scanJournal(read, size, maxNodeBytes, j, true)) {
        return std::nullopt; // it changed between the passes
    }
    return j;
}

std::optional<Journal> decodeJournal(std::string_view bytes) {
    const ReadAt read = [bytes](std::uint64_t at, char* out, std::size_t n) {
        const std::size_t k = at >= bytes.size() ? 0 : std::min<std::size_t>(n, bytes.size() - at);
        std::memcpy(out, bytes.data() + at, k);
        return k;
    };
    return decodeJournal(read, bytes.size(), std::numeric_limits<std::uint64_t>::max());
}

JournalOnDisk inspectJournal(int dirFd, const std::string& name, std::uint64_t maxNodeBytes) {
    JournalOnDisk out;
    const int fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        struct stat st {};
        if (errno == ENOENT || ::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            return out; // nothing there (or nothing this process can see)
        }
        out.kind = JournalOnDisk::Kind::Foreign;
        out.what = S_ISLNK(st.st_mode) ? "is a symbolic link" : "cannot be read (" + errorText(errno) + ")";
        return out;
    }
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const auto size = static_cast<std::uint64_t>(regular ? st.st_size : 0);
    const ReadAt read = [fd](std::uint64_t at, char* buf, std::size_t n) {
        std::size_t done = 0;
        while (done < n) {
            const ssize_t r = ::pread(fd, buf + done, n - done, static_cast<off_t>(at + done));
            if (r < 0 && errno == EINTR) {
                continue;
            }
            if (r <= 0) {
                break;
            }
            done += static_cast<std::size_t>(r);
        }
        return done;
    };
    if (!regular) {
        out.kind = JournalOnDisk::Kind::Foreign;
        out.what = S_ISDIR(st.st_mode) ? "is a folder" : "is not a regular file (a pipe, a device or a socket)";
    } else if (std::optional<Journal> j = decodeJournal(read, size, maxNodeBytes)) {
        out.kind = JournalOnDisk::Kind::Journal;
        out.journal = std::move(j);
    } else {
        // Ours if it is empty or begins with the mark (torn: the bytes after it never came) or
        // with the zeros a spent journal gets in its place.
        char head[sizeof kMagic] = {};
        const std::size_t got = read(0, head, sizeof head);
        const bool zeroed = got == sizeof head && std::all_of(head, head + sizeof head, [](char c) { return c == 0; });
        const bool marked = got == sizeof head && std::memcmp(head, kMagic, sizeof kMagic) == 0;
        bool spent = false;
        if (zeroed && size <= std::uint64_t{1} << 32) {
            // A spent journal is whole but for its mark.
            const ReadAt remarked = [&read](std::uint64_t at, char* buf, std::size_t n) {
                const std::size_t k = read(at, buf, n);
                for (std::size_t i = 0; i < k && at + i < sizeof kMagic; ++i) {
                    buf[i] = kMagic[at + i];
                }
                return k;
            };
            spent = decodeJournal(remarked, size, maxNodeBytes).has_value();
        }
        if (size == 0 || marked || spent) {
            out.kind = JournalOnDisk::Kind::Leftover;
        } else {
            out.kind = JournalOnDisk::Kind::Foreign;
            out.what = "holds " + std::to_string(size) + " bytes that are not a journal";
        }
    }
    ::close(fd);
    return out;
}

std::filesystem::path journalPath(const std::filesystem::path& index) {
    std::filesystem::path p = index;
    p += ".jnl";
    return p;
}

} // namespace arrowsel::data::idx
