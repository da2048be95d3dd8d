// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/index_file.h"

#include "data/dbf_test_hooks.h"
#include "data/file_io.h"
#include "data/idx_journal.h"
#include "data/idx_node.h"
#include "data/new_file.h"
#include "data/table_error.h"
#include "data/text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <numeric>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace arrowsel::data {

namespace test_hooks {
int (*indexIo)(IndexIo op) = nullptr;
} // namespace test_hooks

namespace {

using namespace idx;

// Free blocks remembered from one read of a file; more are left unused until the next rebuild.
constexpr std::size_t kMaxFreeBlocks = 4096;

int ioHook(IoProbe* probe, IndexIo op) {
    if (probe != nullptr) {
        if (const int err = probe->indexIo(op)) {
            return err;
        }
    }
    return test_hooks::indexIo != nullptr ? test_hooks::indexIo(op) : 0;
}

constexpr int kMaxDepth = 64;
constexpr std::uint8_t kOptUnique = 0x01;
constexpr std::uint8_t kOptFor = 0x08;
constexpr std::uint8_t kOptCompact = 0x20;
constexpr std::uint8_t kOptCompound = 0x40;
// Where this engine keeps its change counter: reserved bytes 8-11 of a compact header, unused
// bytes 508-511 of a non-compact one.
constexpr std::size_t kCompactCounterAt = 8;
constexpr std::size_t kNonCompactCounterAt = 508;
// Where this engine lists the blocks its latest groups of writes changed, so that a reader who
// read the file a few groups ago reads again only those blocks: reserved bytes 16-501 of a compact
// header, unused bytes 456-507 of a non-compact one. Layout: a checksum of the rest and of the
// counter; the counter below which nothing is listed; the modification time the last group gave
// the file (seconds as 8 bytes, nanoseconds as 4), which another program's write replaces; the
// number of entries; then one 4-byte entry per block, oldest group first, whole groups only: the
// block number (offset / 512) in the low 23 bits, the group's counter less that first counter in
// the high 9.
constexpr std::size_t kCompactLogAt = 16;
constexpr std::size_t kCompactLogEnd = 502;
constexpr std::size_t kNonCompactLogAt = 456;
constexpr std::size_t kNonCompactLogEnd = 508;
constexpr std::size_t kLogHead = 22;

struct LogPair {
    std::uint32_t counter = 0;
    std::uint32_t offset = 0;
};

constexpr std::uint32_t kLogBlockBits = 23;
constexpr std::uint32_t kLogMaxSpan = (1u << (32 - kLogBlockBits)) - 1;

std::size_t logCapacity(IndexKind kind) {
    const std::size_t room =
        kind == IndexKind::Compact ? kCompactLogEnd - kCompactLogAt : kNonCompactLogEnd - kNonCompactLogAt;
    return (room - kLogHead) / 4;
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

int compareEntry(const IndexEntry& a, std::string_view key, std::uint32_t recno) {
    const int c = a.key.compare(key);
    if (c != 0) {
        return c;
    }
    return a.recno < recno ? -1 : (a.recno > recno ? 1 : 0);
}

// A node of the tree as kept in memory: which file block it is, how it hangs in the tree and how
// many keys its subtree holds. The keys themselves live in one ordered array; a leaf's keys are
// the slice that starts after the keys of every leaf before it.
struct MNode {
    std::uint32_t offset = 0;
    std::int32_t parent = -1;
    std::int32_t left = -1;
    std::int32_t right = -1;
    bool leaf = true;
    bool alive = true;
    std::uint32_t size = 0;
    std::vector<std::int32_t> kids;
};

// What one look at a name saw: enough to tell the same file from a new one there.
struct Seen {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    time_t ctimeSec = 0;
    long ctimeNsec = 0;
    bool operator==(const Seen&) const = default;
};

struct Stamp {
    off_t size = -1;
    timespec mtime{};
    timespec ctime{};
    std::uint32_t counter = 0;

    bool operator==(const Stamp& o) const {
        return size == o.size && mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec &&
               ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec && counter == o.counter;
    }
};

// Everything read from one file.
struct State {
    IndexKind kind = IndexKind::Compact;
    std::string exprText;
    std::string forText;
    bool unique = false;
    bool hasFor = false;
    int keyLength = 0;
    std::uint8_t signature = 0;
    std::uint32_t counter = 0;
    std::uint64_t fileEnd = 0;
    std::vector<std::uint32_t> freeOffsets; // blocks no node uses, highest first
    std::int32_t root = -1;
    std::vector<IndexEntry> entries;
    std::vector<MNode> nodes;
    std::uint32_t logSince = 0; // groups after this counter are listed in `log`
    timespec logTime{};
    std::vector<LogPair> log;
};

// What a reader already holds of a file, to take unchanged blocks from instead of reading them.
struct Reuse {
    const std::vector<MNode>* nodes = nullptr;
    std::vector<IndexEntry>* entries = nullptr; // moved from only once the new tree is sound
    std::unordered_map<std::uint32_t, std::int32_t> byOffset;
    std::vector<std::size_t> start; // by node id: where a leaf's keys start
    std::unordered_set<std::uint32_t> changed;
    std::size_t expectKeys = 0;
};

// A run of keys of the new tree: taken from the keys already held, or from blocks just read.
struct Segment {
    bool held = false;
    std::size_t from = 0;
    std::size_t count = 0;
};

class IdxFile final : public IndexFile {
public:
    // `dirFd` is the index's folder, through which the journal is reached (both are owned from
    // here on); `fresh` for a new file not yet named, which needs no journal.
    IdxFile(std::filesystem::path path, int fd, int dirFd, bool writable, std::span<const FieldDef> fields, CodePage cp,
            IoProbe* probe, bool fresh = false)
        : path_(std::move(path)), name_(path_.string()), journalPath_(journalPath(path_)),
          journalName_(journalPath_.filename().string()), fd_(fd), dirFd_(dirFd), fresh_(fresh), writable_(writable),
          fields_(fields.begin(), fields.end()), cp_(cp), probe_(probe) {
        struct stat sb {};
        if (::fstat(fd_, &sb) == 0) {
            fileId_ = sb.st_ino;
            fileMode_ = sb.st_mode & 0666;
        }
    }

    ~IdxFile() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (dirFd_ >= 0) {
            ::close(dirFd_);
        }
    }

    // The new file has taken its name: from now on its changes go through the journal. The
    // rename changed the file's status time, which is not another program's change.
    void named() {
        fresh_ = false;
        const std::uint32_t counter = stamp_.counter;
        stamp_ = statFile();
        stamp_.counter = counter;
    }

    std::vector<std::string> takeNotices() override {
        std::vector<std::string> out;
        out.swap(notices_);
        return out;
    }

    IdxFile(const IdxFile&) = delete;
    IdxFile& operator=(const IdxFile&) = delete;

    // --- set-up -------------------------------------------------------------------------------

    void load() {
        stamp_ = Stamp{}; // stays unknown (a later refresh reads again) unless the read succeeds
        recoverJournal();
        Stamp st = statFile();
        if (st.size < 0 || static_cast<std::uint64_t>(st.size) > 0xFFFFFFFFull) {
            corrupt("the file is too large");
        }
        State s = parse(logicalSize(static_cast<std::uint64_t>(st.size)));
        // A file last written by another program (or by us without our time) may hold changes
        // that the list does not name: the next group we write lists nothing before itself.
        const bool ours = sameTime(st.mtime, s.logTime);
        adopt(std::move(s));
        st.counter = readCounter(st.size);
        stamp_ = st;
        partial_ = false;
        listUnsound_ = !ours;
    }

    // Writes a fresh file over whatever the path holds (kept as one group of writes, so a kill
    // leaves the old file or the new one).
    void initFresh(IndexKind kind, std::string_view expression, bool unique, std::uint32_t recordCount,
                   const RecordSource& records) {
        if (!fresh_) {
            try {
                recoverJournal();
            } catch (const ETableError&) {
                // Whatever was pending is overwritten by the new file.
            }
        }
        unique_ = unique;
        initNew(kind, expression, recordCount, records);
    }

    void initNew(IndexKind kind, std::string_view expression, std::uint32_t recordCount, const RecordSource& records) {
        KeyExpression expr(expression, fields_, cp_, name_);
        const std::size_t limit = kind == IndexKind::Compact ? 510 : 219;
        if (expression.size() > limit || expression.find('\0') != std::string_view::npos) {
            throw ETableError("The key expression \"" + std::string(expression) + "\" is too long for index file " +
                              name_ + ".");
        }
        kind_ = kind;
        exprText_ = std::string(expression);
        keyLength_ = expr.keyLength();
        pad_ = expr.type() == KeyType::Character ? ' ' : '\0';
        expr_ = std::move(expr);
        counter_ = 0;
        rebuildFrom(recordCount, records);
    }

    // --- IndexFile ----------------------------------------------------------------------------

    const std::filesystem::path& path() const override { return path_; }
    IndexKind kind() const override { return kind_; }
    const KeyExpression& expression() const override { return *expr_; }
    bool unique() const override { return unique_; }
    std::size_t size() const override { return entries_.size(); }
    const IndexEntry& at(std::size_t pos) const override { return entries_[pos]; }

    std::size_t findPrefix(std::string_view prefix) const override {
        const auto kl = static_cast<std::size_t>(keyLength_);
        if (prefix.size() > kl) {
            // Bytes past the key's end can only match as padding.
            if (prefix.substr(kl).find_first_not_of(pad_) != std::string_view::npos) {
                return npos;
            }
            prefix = prefix.substr(0, kl);
        }
        const std::size_t n = prefix.size();
        auto it =
            std::lower_bound(entries_.begin(), entries_.end(), prefix, [n](const IndexEntry& e, std::string_view p) {
                return std::memcmp(e.key.data(), p.data(), n) < 0;
            });
        if (it == entries_.end() || std::memcmp(it->key.data(), prefix.data(), n) != 0) {
            return npos;
        }
        return static_cast<std::size_t>(it - entries_.begin());
    }

    std::size_t find(std::string_view key, std::uint32_t recno) const override {
        const std::string k = fullKey(key);
        const std::size_t pos = lowerBound(k, recno);
        if (pos < entries_.size() && entries_[pos].recno == recno && entries_[pos].key == k) {
            return pos;
        }
        return npos;
    }

    void insert(std::string_view record, std::uint32_t recno) override {
        requireWritable();
        refresh();
        std::string key = expr_->evaluate(record);
        const std::size_t pos = lowerBound(key, recno);
        if (pos < entries_.size() && entries_[pos].recno == recno && entries_[pos].key == key) {
            return; // already there
        }
        if (unique_) {
            const bool sameBefore = pos > 0 && entries_[pos - 1].key == key;
            const bool sameAfter = pos < entries_.size() && entries_[pos].key == key;
            if (sameBefore) {
                return; // a unique index keeps the first record of each key
            }
            if (sameAfter) {
                changing([&] { removeAt(pos); }); // the new record comes first now
            }
        }
        if (recno == 0) {
            throw ETableError("Record number 0 cannot be indexed in " + name_ + ".");
        }
        changing([&] {
            insertAt(pos, IndexEntry{std::move(key), recno});
            finishWrite();
        });
    }

    void remove(std::string_view key, std::uint32_t recno) override {
        requireWritable();
        refresh();
        const std::string k = fullKey(key);
        const std::size_t pos = lowerBound(k, recno);
        if (pos >= entries_.size() || entries_[pos].recno != recno || entries_[pos].key != k) {
            return;
        }
        changing([&] {
            removeAt(pos);
            finishWrite();
        });
    }

    void rebuild(std::uint32_t recordCount, const RecordSource& records) override {
        requireWritable();
        changing([&] { rebuildFrom(recordCount, records); });
    }

    bool changedOnDisk() const override {
        Stamp now = statFile();
        now.counter = readCounter(now.size);
        return !(now == stamp_);
    }

    void refresh() override {
        // A writer builds on what it holds: that must be the whole file as it is, with any group a
        // killed process left in the journal written into it.
        if (partial_ || changedOnDisk() || journalPresent()) {
            load();
        }
    }

    void refreshForReading(std::uint32_t recordCount) override {
        Stamp now = statFile();
        unsigned char h[kNodeSize];
        if (now.size < static_cast<off_t>(2 * kNodeSize) || preadSome(h, kNodeSize, 0) != kNodeSize) {
            load();
            return;
        }
        now.counter = getLE32(h + counterOffset(kind_));
        if (now == stamp_) {
            return;
        }
        if (!followChanges(h, now, recordCount)) {
            load();
        }
    }

    bool journalToReplay() const override { return writable_ && !fresh_ && journalPresent(); }

    void flush() override {
        if (!needSync_) {
            return; // every group of changes is synced before it counts as done
        }
        ioSync(fd_, name_);
        needSync_ = false;
    }

private:
    // --- following another process's changes -----------------------------------------------------

    static bool sameTime(const timespec& a, const timespec& b) {
        return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    }

    // Reads again only the blocks that the groups written since the last read list in the header
    // `h`; false when that cannot be trusted to give the file as it is, and the caller reads it
    // whole. Only our writers list their blocks; another program's write shows as a modification
    // time other than the one our last group gave the file, or (once one of ours wrote after it)
    // as a list that starts after that write.
    bool followChanges(const unsigned char* h, const Stamp& now, std::uint32_t recordCount) {
        if (unique_ || hasFor_ || overlay_ || stamp_.size < 0 || now.counter == stamp_.counter) {
            return false; // only a plain index holds one key per record, which checks the result
        }
        const IndexKind kind = (h[14] & kOptCompact) ? IndexKind::Compact : IndexKind::NonCompact;
        if (kind != kind_ || getLE16(h + 12) != keyLength_) {
            return false;
        }
        std::uint32_t since = 0;
        timespec written{};
        std::vector<LogPair> log;
        if (!decodeLog(h, kind, now.counter, since, written, log) || since > stamp_.counter ||
            now.counter < stamp_.counter || !sameTime(now.mtime, written)) {
            return false;
        }
        if (journalPresent()) {
            return false; // a group was left half-written: recovering it needs a whole read
        }
        std::unordered_set<std::uint32_t> changed;
        for (const LogPair& p : log) {
            if (p.counter > stamp_.counter) {
                changed.insert(p.offset);
            }
        }
        try {
            if (getLE32(h) == nd(root_).offset && patchInPlace(changed, now, recordCount)) {
                stamp_ = now;
                partial_ = true;
                return true;
            }
        } catch (const ETableError&) {
            return false;
        }
        Reuse reuse;
        reuse.nodes = &nodes_;
        reuse.entries = &entries_;
        reuse.expectKeys = recordCount;
        reuse.changed = std::move(changed);
        reuse.start.assign(nodes_.size(), 0);
        std::size_t at = 0;
        collectHeld(root_, at, reuse);
        try {
            State s = parse(logicalSize(static_cast<std::uint64_t>(now.size)), &reuse);
            if (s.exprText != exprText_) {
                return false;
            }
            adopt(std::move(s));
        } catch (const ETableError&) {
            return false;
        }
        stamp_ = now;
        partial_ = true;
        return true;
    }

    // A leaf read again while following changes: which node, where its keys started, its keys now.
    struct PatchedLeaf {
        std::int32_t id = -1;
        std::size_t start = 0;
        std::vector<IndexEntry> entries;
    };

    // The common case of following changes: the changed blocks are nodes already held, in the same
    // places of the tree (keys added to or taken from leaves; an interior node's keys updated), so
    // only their keys are replaced. False, with nothing changed, when the tree's shape moved.
    bool patchInPlace(const std::unordered_set<std::uint32_t>& changed, const Stamp& now, std::uint32_t recordCount) {
        std::unordered_map<std::uint32_t, std::int32_t> byOffset;
        for (std::size_t id = 0; id < nodes_.size(); ++id) {
            if (nodes_[id].alive) {
                byOffset.emplace(nodes_[id].offset, static_cast<std::int32_t>(id));
            }
        }
        std::vector<PatchedLeaf> leaves;
        std::size_t total = entries_.size();
        const auto size = static_cast<std::uint64_t>(now.size);
        for (const std::uint32_t off : changed) {
            const auto it = byOffset.find(off);
            if (it == byOffset.end() || static_cast<std::uint64_t>(off) + kNodeSize > size ||
                !rereadInPlace(it->second, size, leaves)) {
                return false;
            }
            if (!leaves.empty() && leaves.back().id == it->second) {
                total = total - nd(it->second).size + leaves.back().entries.size();
            }
        }
        if (total != recordCount) {
            return false;
        }
        replaceLeaves(leaves);
        return true;
    }

    // Reads node `id` again: an interior node must lead to the same children; a leaf must keep its
    // siblings, and its keys are added to `leaves`. False when the node no longer fits in place.
    bool rereadInPlace(std::int32_t id, std::uint64_t size, std::vector<PatchedLeaf>& leaves) {
        const MNode& n = nd(id);
        unsigned char p[kNodeSize];
        readBlock(p, kNodeSize, n.offset);
        const std::uint16_t attrs = getLE16(p);
        const std::uint16_t count = getLE16(p + 2);
        if (attrs > 3 || ((attrs & kAttrLeaf) != 0) != n.leaf || count == 0) {
            return false;
        }
        if (!n.leaf) {
            if (count != n.kids.size()) {
                return false;
            }
            const bool compact = kind_ == IndexKind::Compact;
            const std::size_t entrySize = static_cast<std::size_t>(keyLength_) + (compact ? 8 : 4);
            for (std::size_t i = 0; i < count; ++i) {
                const unsigned char* e = p + 12 + i * entrySize;
                if (getBE32(e + keyLength_ + (compact ? 4 : 0)) != nd(n.kids[i]).offset) {
                    return false;
                }
            }
            return true;
        }
        if (getLE32(p + 4) != (n.left >= 0 ? nd(n.left).offset : kNone) ||
            getLE32(p + 8) != (n.right >= 0 ? nd(n.right).offset : kNone)) {
            return false;
        }
        State one;
        one.kind = kind_;
        one.keyLength = keyLength_;
        Walker w{*this, size, headerSize(), one, pad_, {}, {}, {}, {}, {}, nullptr, {}, false, 0};
        if (kind_ == IndexKind::Compact) {
            w.compactLeaf(p, n.offset, count);
        } else {
            w.nonCompactLeaf(p, n.offset, count);
        }
        leaves.push_back(PatchedLeaf{id, positionOf(id), std::move(one.entries)});
        return true;
    }

    // Puts each leaf's new keys in place of its old ones, then checks that each sits in order
    // between its neighbours.
    void replaceLeaves(std::vector<PatchedLeaf>& leaves) {
        // From the back, so that the places of the leaves still to do stay where they were.
        std::sort(leaves.begin(), leaves.end(),
                  [](const PatchedLeaf& a, const PatchedLeaf& b) { return a.start > b.start; });
        for (PatchedLeaf& l : leaves) {
            const std::size_t had = nd(l.id).size;
            const auto at = entries_.begin() + static_cast<std::ptrdiff_t>(l.start);
            const std::size_t common = std::min(had, l.entries.size());
            std::move(l.entries.begin(), l.entries.begin() + static_cast<std::ptrdiff_t>(common), at);
            if (l.entries.size() > had) {
                entries_.insert(at + static_cast<std::ptrdiff_t>(had),
                                std::make_move_iterator(l.entries.begin() + static_cast<std::ptrdiff_t>(had)),
                                std::make_move_iterator(l.entries.end()));
            } else {
                entries_.erase(at + static_cast<std::ptrdiff_t>(common), at + static_cast<std::ptrdiff_t>(had));
            }
            for (std::int32_t n = l.id; n >= 0; n = nd(n).parent) {
                nd(n).size = static_cast<std::uint32_t>(nd(n).size - had + l.entries.size());
            }
        }
        for (const PatchedLeaf& l : leaves) {
            const std::size_t start = positionOf(l.id);
            const std::size_t end = start + nd(l.id).size;
            const bool before =
                start == 0 || compareEntry(entries_[start - 1], entries_[start].key, entries_[start].recno) < 0;
            const bool after =
                end == entries_.size() || compareEntry(entries_[end - 1], entries_[end].key, entries_[end].recno) < 0;
            if (!before || !after) {
                stamp_ = Stamp{};
                corrupt("the keys are out of order in the node at offset " + std::to_string(nd(l.id).offset));
            }
        }
    }

    void collectHeld(std::int32_t id, std::size_t& at, Reuse& reuse) const {
        const MNode& n = nd(id);
        reuse.byOffset.emplace(n.offset, id);
        if (n.leaf) {
            reuse.start[static_cast<std::size_t>(id)] = at;
            at += n.size;
            return;
        }
        for (std::int32_t k : n.kids) {
            collectHeld(k, at, reuse);
        }
    }

    std::size_t logAt(IndexKind kind) const { return kind == IndexKind::Compact ? kCompactLogAt : kNonCompactLogAt; }
    std::size_t logEnd(IndexKind kind) const { return kind == IndexKind::Compact ? kCompactLogEnd : kNonCompactLogEnd; }

    // The list of changed blocks in header `h` whose counter is `counter`; false when there is
    // none this engine wrote (another program's header, or one it changed since).
    bool decodeLog(const unsigned char* h, IndexKind kind, std::uint32_t counter, std::uint32_t& since,
                   timespec& written, std::vector<LogPair>& log) const {
        const unsigned char* p = h + logAt(kind);
        const std::size_t len = logEnd(kind) - logAt(kind);
        const std::size_t n = getLE16(p + 20);
        if (getLE32(p) != logChecksum(p, len, counter) || n > logCapacity(kind)) {
            return false;
        }
        since = getLE32(p + 4);
        if (since > counter) {
            return false;
        }
        written.tv_sec = static_cast<time_t>(getLE32(p + 8) | (std::uint64_t{getLE32(p + 12)} << 32));
        written.tv_nsec = static_cast<long>(getLE32(p + 16));
        log.clear();
        std::uint32_t prev = since;
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t v = getLE32(p + kLogHead + 4 * i);
            const LogPair pair{since + (v >> kLogBlockBits),
                               (v & ((1u << kLogBlockBits) - 1)) * static_cast<std::uint32_t>(kNodeSize)};
            if (pair.counter <= since || pair.counter > counter || pair.counter < prev) {
                return false;
            }
            prev = pair.counter;
            log.push_back(pair);
        }
        return true;
    }

    void encodeLog(unsigned char* h) const {
        unsigned char* p = h + logAt(kind_);
        const std::size_t len = logEnd(kind_) - logAt(kind_);
        std::memset(p, 0, len);
        putLE32(p + 4, logSince_);
        const auto sec = static_cast<std::uint64_t>(logTime_.tv_sec);
        putLE32(p + 8, static_cast<std::uint32_t>(sec));
        putLE32(p + 12, static_cast<std::uint32_t>(sec >> 32));
        putLE32(p + 16, static_cast<std::uint32_t>(logTime_.tv_nsec));
        putLE16(p + 20, static_cast<std::uint16_t>(log_.size()));
        for (std::size_t i = 0; i < log_.size(); ++i) {
            const std::uint32_t block = log_[i].offset / static_cast<std::uint32_t>(kNodeSize);
            putLE32(p + kLogHead + 4 * i, ((log_[i].counter - logSince_) << kLogBlockBits) | block);
        }
        putLE32(p, logChecksum(p, len, counter_));
    }

    // Lists the blocks of the group now being written (counter_ already raised), dropping the
    // oldest groups to make room.
    void noteGroup(std::vector<std::uint32_t> offsets) {
        std::sort(offsets.begin(), offsets.end());
        offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
        const std::size_t cap = logCapacity(kind_);
        if (listUnsound_ || offsets.size() > cap) {
            log_.clear();
            logSince_ = counter_;
            listUnsound_ = false;
            return;
        }
        while (!log_.empty() && (log_.size() + offsets.size() > cap || counter_ - logSince_ > kLogMaxSpan)) {
            const std::uint32_t oldest = log_.front().counter;
            const auto end =
                std::find_if(log_.begin(), log_.end(), [oldest](const LogPair& p) { return p.counter != oldest; });
            log_.erase(log_.begin(), end);
            logSince_ = oldest;
        }
        if (log_.empty()) {
            logSince_ = counter_ - 1;
        }
        for (std::uint32_t off : offsets) {
            log_.push_back(LogPair{counter_, off});
        }
    }

    // --- reading ------------------------------------------------------------------------------

    [[noreturn]] void corrupt(const std::string& why) const {
        throw EIndexDamaged("Index file " + name_ + " is damaged: " + why + ".", why);
    }

    // --- the journal ---------------------------------------------------------------------------

    // The counter field of the header now on disk, wherever the file's kind keeps it.
    std::optional<std::uint32_t> diskCounter() const {
        unsigned char h[kNodeSize];
        countReadIo(probe_, ReadIo::Read);
        if (::pread(fd_, h, sizeof h, 0) != static_cast<ssize_t>(sizeof h)) {
            return std::nullopt;
        }
        return getLE32(h + ((h[14] & kOptCompact) ? kCompactCounterAt : kNonCompactCounterAt));
    }

    // What is at the journal's name, as one look sees it: none when nothing is.
    std::optional<Seen> lookAtJournal() const {
        struct stat st {};
        if (::fstatat(dirFd_, journalName_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            return std::nullopt;
        }
        return Seen{st.st_dev, st.st_ino, st.st_size, st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
    }

    // Something other than what a read-only handle already looked at and left is at the journal's
    // name (one look, no read).
    bool journalPresent() const {
        const std::optional<Seen> now = lookAtJournal();
        return now && !(ignored_ && *ignored_ == *now);
    }

    void removeJournal() {
        if (::unlinkat(dirFd_, journalName_.c_str(), 0) != 0 && errno != ENOENT) {
            journalFailed(errno);
        }
    }

    // Whatever lies at the journal's name that is no journal of ours is never read whole, written
    // through or waited on: a writable handle renames it out of the way, under a name of its own
    // beside it, and says so; a read-only one leaves it and says so once.
    void setAside(const std::string& what) {
        const std::string start = "The file " + journalPath_.string() + " beside the index file " + name_ +
                                  " is not its journal: it " + what + ".";
        if (!writable_) {
            const std::optional<Seen> now = lookAtJournal();
            if (now && !(ignored_ && *ignored_ == *now)) {
                ignored_ = now;
                notices_.push_back(start + " It was left alone and not read; remove it or move it away.");
            }
            return;
        }
        for (int n = 1; n <= 100; ++n) {
            std::string aside = journalName_ + ".not-a-journal";
            if (n > 1) {
                aside += "." + std::to_string(n);
            }
            int err = 0;
            if (::renameat2(dirFd_, journalName_.c_str(), dirFd_, aside.c_str(), RENAME_NOREPLACE) != 0) {
                err = errno;
                if (err == EINVAL || err == ENOSYS) {
                    struct stat taken {};
                    err = ::fstatat(dirFd_, aside.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0 ? EEXIST : 0;
                    if (err == 0 && ::renameat(dirFd_, journalName_.c_str(), dirFd_, aside.c_str()) != 0) {
                        err = errno;
                    }
                }
            }
            if (err == 0) {
                ignored_.reset();
                notices_.push_back(start + " It was set aside, untouched, as " + aside +
                                   "; nothing was lost. Remove it once you know where it came from.");
                return;
            }
            if (err != EEXIST) {
                journalFailed(err);
            }
        }
        journalFailed(EEXIST);
    }

    // A group of writes left by a process that was stopped in the middle of it. A writable handle
    // completes it on disk; a read-only one reads the file as the group left it. What is no
    // journal of this file is set aside (see setAside); a leftover of ours that never came whole,
    // was spent, or belongs to another file or an older state of this one is removed by a
    // writable handle and ignored by a read-only one.
    void recoverJournal() {
        overlay_.reset();
        const off_t fileSize = statFile().size;
        const std::uint64_t size = fileSize > 0 ? static_cast<std::uint64_t>(fileSize) : 0;
        JournalOnDisk found = inspectJournal(dirFd_, journalName_, size);
        if (found.kind == JournalOnDisk::Kind::None) {
            return;
        }
        if (found.kind == JournalOnDisk::Kind::Leftover && !writable_) {
            ignored_ = lookAtJournal();
            return;
        }
        if (found.kind == JournalOnDisk::Kind::Foreign) {
            setAside(found.what);
            return;
        }
        bool applies = found.kind == JournalOnDisk::Kind::Journal && found.journal->fileId == fileId_;
        if (applies && (found.journal->flags & Journal::kWholeFile) == 0) {
            // A group of nodes applies only to the file it was made for, and lies inside it.
            const std::optional<std::uint32_t> now = diskCounter();
            applies = now && (*now == found.journal->counterBefore || *now == found.journal->counterAfter);
            for (const JournalWrite& w : found.journal->writes) {
                applies = applies && std::uint64_t{w.offset} + w.bytes.size() <= size;
            }
        }
        if (!applies) {
            if (writable_) {
                removeJournal();
            } else {
                ignored_ = lookAtJournal(); // read again only once it changes
            }
            return;
        }
        if (!writable_) {
            overlay_ = std::move(found.journal);
            return;
        }
        apply(*found.journal);
        spendJournal(true);
    }

    // A file descriptor that closes itself.
    struct Fd {
        int fd = -1;
        explicit Fd(int f) : fd(f) {}
        ~Fd() {
            if (fd >= 0) {
                ::close(fd);
            }
        }
        Fd(const Fd&) = delete;
        Fd& operator=(const Fd&) = delete;
    };

    [[noreturn]] void journalFailed(int err) const {
        throw ETableError("Cannot write the journal " + journalPath_.string() + " of index file " + name_ + ": " +
                          std::strerror(err) +
                          (err == ENOSPC ? ". Free some space on the disk and try again."
                                         : ". Check that the folder can be written to."));
    }

    // Syncs the folder, so that the journal's name is on disk with its contents.
    void syncFolder() { ioSync(dirFd_, name_); }

    void apply(const Journal& j) {
        for (const JournalWrite& w : j.writes) {
            ioWrite(fd_, reinterpret_cast<const unsigned char*>(w.bytes.data()), w.bytes.size(), w.offset, name_);
        }
        if (j.newLength != 0) {
            ioTruncate(fd_, j.newLength, name_);
        }
        ioSync(fd_, name_);
        needSync_ = false;
    }

    // Removes the journal once its group is in the file. After a whole-file group it is zeroed and
    // synced first: its replay, should the removal be lost in a power cut, could undo changes
    // another program made since; a node group is guarded by the header's counter instead.
    void spendJournal(bool durable) {
        if (durable) {
            const Fd jfd(::openat(dirFd_, journalName_.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
            struct stat st {};
            if (jfd.fd >= 0 && ::fstat(jfd.fd, &st) == 0 && S_ISREG(st.st_mode)) {
                static const unsigned char zeros[8] = {};
                ioWrite(jfd.fd, zeros, sizeof zeros, 0, journalPath_.string());
                ioSync(jfd.fd, journalPath_.string());
            }
        }
        removeJournal();
    }

    // Creates the journal, never through a link and never over anything: what is in the way is
    // dealt with as recoverJournal() would (a writer's refresh has normally done that already).
    int createJournal() {
        const mode_t mode = fileMode_ != 0 ? fileMode_ : 0644;
        for (int attempt = 0;; ++attempt) {
            const int fd =
                ::openat(dirFd_, journalName_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
            if (fd >= 0 || errno != EEXIST || attempt > 0) {
                if (fd < 0) {
                    journalFailed(errno);
                }
                return fd;
            }
            const JournalOnDisk found = inspectJournal(dirFd_, journalName_, 0);
            if (found.kind == JournalOnDisk::Kind::Foreign) {
                setAside(found.what);
            } else if (found.kind == JournalOnDisk::Kind::Journal && found.journal->fileId == fileId_) {
                throw ETableError("Cannot write index file " + name_ + ": its journal " + journalPath_.string() +
                                  " holds a change that another process has not finished. Try again; if this "
                                  "stays, close the program on the other counters first.");
            } else {
                removeJournal();
            }
        }
    }

    // Writes one group of changes so that a kill at any point leaves the old file or the new one:
    // the group goes to the journal first, then into the file, and the journal is removed. The
    // journal exists only during a change (writers are one at a time under the table's header lock).
    void commit(std::vector<JournalWrite> writes, std::uint64_t newLength, bool wholeFile) {
        Journal j;
        j.counterBefore = stamp_.counter;
        j.counterAfter = counter_;
        j.fileId = fileId_;
        j.newLength = newLength;
        j.flags = wholeFile ? Journal::kWholeFile : 0;
        j.writes = std::move(writes);
        if (fresh_) {
            apply(j); // a file nobody can see yet: it takes its name only once it is whole
            return;
        }
        if (!wholeFile && newLength == 0 && rewritesOneNodeInPlace(j.writes)) {
            apply(j);
            return;
        }
        const std::string bytes = encodeJournal(j);
        {
            const Fd jfd(createJournal());
            const std::string jname = journalPath_.string();
            try {
                ioWrite(jfd.fd, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0, jname);
                ioSync(jfd.fd, jname);
            } catch (const ETableError&) {
                ::unlinkat(dirFd_, journalName_.c_str(), 0); // nothing of the group reached the index
                throw;
            }
        }
        syncFolder();
        apply(j);
        spendJournal(wholeFile);
    }

    // A group that rewrites one node of the tree where it lies, and of the header only what tells
    // readers about changes (the counter, the list of changed blocks, the time), is all or nothing
    // without a journal: the node is one write within one block, and a kill before the header's
    // write leaves the new tree under the old header, whose time is not the file's: a reader takes
    // it for another program's change and reads the file whole. Most saves are such a group (a
    // key added to or taken from one leaf), and the journal would cost them three syncs.
    bool rewritesOneNodeInPlace(const std::vector<JournalWrite>& writes) const {
        if (writes.size() != 2 || writes[1].offset != 0 || writes[1].bytes.size() < 12 ||
            writes[0].offset < headerSize() || writes[0].offset % kNodeSize != 0 ||
            writes[0].bytes.size() != kNodeSize) {
            return false;
        }
        const off_t size = statFile().size;
        unsigned char h[12];
        if (size < 0 || std::uint64_t{writes[0].offset} + kNodeSize > static_cast<std::uint64_t>(size) ||
            preadSome(h, sizeof h, 0) != sizeof h) {
            return false;
        }
        // The root, and the end of the file that a non-compact header states, stay as they are.
        const auto* now = reinterpret_cast<const unsigned char*>(writes[1].bytes.data());
        return std::memcmp(h, now, 4) == 0 && (kind_ == IndexKind::Compact || std::memcmp(h + 8, now + 8, 4) == 0);
    }

    // The size the file has once a pending group is counted in.
    std::uint64_t logicalSize(std::uint64_t fileSize) const {
        if (!overlay_) {
            return fileSize;
        }
        if (overlay_->newLength != 0) {
            return overlay_->newLength;
        }
        std::uint64_t end = fileSize;
        for (const JournalWrite& w : overlay_->writes) {
            end = std::max<std::uint64_t>(end, std::uint64_t{w.offset} + w.bytes.size());
        }
        return end;
    }

    // Reads `len` bytes at `at`, as a pending group would leave them.
    void readBlock(unsigned char* out, std::size_t len, std::uint64_t at) const {
        if (!overlay_) {
            preadFull(out, len, static_cast<off_t>(at));
            return;
        }
        const std::size_t got = preadSome(out, len, static_cast<off_t>(at));
        std::memset(out + got, 0, len - got);
        for (const JournalWrite& w : overlay_->writes) {
            const std::uint64_t from = std::max<std::uint64_t>(at, w.offset);
            const std::uint64_t to = std::min<std::uint64_t>(at + len, std::uint64_t{w.offset} + w.bytes.size());
            if (from < to) {
                std::memcpy(out + (from - at), w.bytes.data() + (from - w.offset), static_cast<std::size_t>(to - from));
            }
        }
    }

    // --- plain I/O ----------------------------------------------------------------------------

    [[noreturn]] static void writeFailed(const std::string& file, int err) {
        throw ETableError("Cannot write index file " + file + ": " + std::strerror(err) +
                          (err == ENOSPC ? ". Free some space on the disk and try again." : "."));
    }

    void ioWrite(int fd, const unsigned char* data, std::size_t len, std::uint64_t at, const std::string& file) {
        if (const int err = ioHook(probe_, IndexIo::Write)) {
            writeFailed(file, err);
        }
        std::size_t done = 0;
        while (done < len) {
            const ssize_t n = ::pwrite(fd, data + done, len - done, static_cast<off_t>(at + done));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                writeFailed(file, n < 0 ? errno : ENOSPC);
            }
            done += static_cast<std::size_t>(n);
        }
    }

    void ioSync(int fd, const std::string& file) {
        int err = ioHook(probe_, IndexIo::Sync);
        if (err == 0 && ::fdatasync(fd) != 0) {
            err = errno;
        }
        if (err != 0) {
            writeFailed(file, err);
        }
    }

    void ioTruncate(int fd, std::uint64_t length, const std::string& file) {
        int err = ioHook(probe_, IndexIo::Truncate);
        if (err == 0 && ::ftruncate(fd, static_cast<off_t>(length)) != 0) {
            err = errno;
        }
        if (err != 0) {
            writeFailed(file, err);
        }
    }

    Stamp statFile() const {
        struct stat sb {};
        countReadIo(probe_, ReadIo::Stat);
        if (::fstat(fd_, &sb) != 0) {
            throw ETableError("Cannot read index file " + name_ + ": " + std::strerror(errno) + ".");
        }
        Stamp s;
        s.size = sb.st_size;
        s.mtime = sb.st_mtim;
        s.ctime = sb.st_ctim;
        return s;
    }

    std::size_t counterOffset(IndexKind kind) const {
        return kind == IndexKind::Compact ? kCompactCounterAt : kNonCompactCounterAt;
    }

    std::uint32_t readCounter(off_t fileSize) const {
        const std::size_t at = counterOffset(kind_);
        unsigned char b[4] = {0, 0, 0, 0};
        if (fileSize >= static_cast<off_t>(at + 4)) {
            preadFull(b, 4, static_cast<off_t>(at));
        }
        return getLE32(b);
    }

    std::size_t preadSome(unsigned char* out, std::size_t len, off_t at) const {
        std::size_t done = 0;
        while (done < len) {
            countReadIo(probe_, ReadIo::Read);
            const ssize_t n = ::pread(fd_, out + done, len - done, at + static_cast<off_t>(done));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                throw ETableError("Cannot read index file " + name_ + ": " + std::strerror(errno) + ".");
            }
            if (n == 0) {
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

    void preadFull(unsigned char* out, std::size_t len, off_t at) const {
        if (preadSome(out, len, at) < len) {
            corrupt("the file is shorter than expected");
        }
    }

    static std::string cString(const unsigned char* p, std::size_t maxLen, bool& terminated) {
        std::size_t n = 0;
        while (n < maxLen && p[n] != 0) {
            ++n;
        }
        terminated = n < maxLen;
        return std::string(trimTrailingSpaces(std::string_view(reinterpret_cast<const char*>(p), n)));
    }

    // The header's options, key length and expressions into `s`. `h` holds the file's first two
    // blocks (as much of them as the file has); returns the header's size.
    std::size_t parseHeader(const unsigned char* h, std::uint64_t size, State& s) const {
        const std::uint8_t options = h[14];
        s.kind = (options & kOptCompact) ? IndexKind::Compact : IndexKind::NonCompact;
        const std::size_t headerSize = s.kind == IndexKind::Compact ? 2 * kNodeSize : kNodeSize;
        if (size < headerSize + kNodeSize) {
            corrupt("the file is shorter than its header and root node");
        }
        if (options & kOptCompound) {
            corrupt("it is a compound index (.cdx), not a single-order index");
        }
        s.unique = (options & kOptUnique) != 0;
        s.hasFor = (options & kOptFor) != 0;
        s.signature = h[15];
        s.keyLength = getLE16(h + 12);
        if (s.keyLength < 1 || s.keyLength > 100) {
            corrupt("the key length " + std::to_string(s.keyLength) + " is outside 1 to 100");
        }
        bool terminated = false;
        if (s.kind == IndexKind::NonCompact) {
            s.exprText = cString(h + 16, 220, terminated);
            if (!terminated) {
                corrupt("the key expression is not terminated");
            }
            s.forText = cString(h + 236, 220, terminated);
            s.counter = getLE32(h + kNonCompactCounterAt);
        } else {
            if (getLE16(h + 502) != 0) {
                corrupt("descending order is not supported");
            }
            s.exprText = cString(h + 512, 512, terminated);
            if (!terminated) {
                corrupt("the key expression is not terminated");
            }
            const std::size_t forAt = 512 + std::strlen(reinterpret_cast<const char*>(h + 512)) + 1;
            s.forText = cString(h + forAt, 1024 - forAt, terminated);
            s.counter = getLE32(h + kCompactCounterAt);
        }
        if (s.exprText.empty()) {
            corrupt("the key expression is empty");
        }
        if (!decodeLog(h, s.kind, s.counter, s.logSince, s.logTime, s.log)) {
            s.log.clear();
            s.logSince = s.counter; // nothing is known of the groups before this one
        }
        if (!s.hasFor) {
            s.forText.clear();
        }
        return headerSize;
    }

    // The key expression must suit the stored key length.
    void useKeyExpression(const State& s) {
        if (!expr_ || expr_->text() != s.exprText) {
            KeyExpression expr(s.exprText, fields_, cp_, name_);
            expr_ = std::move(expr);
        }
        if (expr_->type() == KeyType::Character) {
            if (expr_->keyLength() != s.keyLength) {
                expr_->setKeyLength(s.keyLength);
            }
        } else if (s.keyLength != 8) {
            corrupt("the key length " + std::to_string(s.keyLength) + " does not suit a numeric or date key");
        }
    }

    // This engine keeps no free list in the file: every block outside the tree is free.
    static void collectFreeBlocks(State& s, const std::unordered_set<std::uint32_t>& visited, std::size_t headerSize) {
        std::vector<std::uint32_t> used(visited.begin(), visited.end());
        std::sort(used.begin(), used.end());
        std::size_t u = 0;
        for (std::uint64_t b = headerSize; b < s.fileEnd && s.freeOffsets.size() < kMaxFreeBlocks; b += kNodeSize) {
            while (u < used.size() && used[u] < b) {
                ++u;
            }
            if (u == used.size() || used[u] != b) {
                s.freeOffsets.push_back(static_cast<std::uint32_t>(b));
            }
        }
        std::reverse(s.freeOffsets.begin(), s.freeOffsets.end()); // lowest first off the back
    }

    // Reads the header and then only the nodes the tree reaches, one at a time: a file's size
    // says nothing about how much of it is in use (a sparse file of gigabytes may hold a few nodes).
    // With `reuse`, blocks it does not list as changed are taken from what is held instead.
    State parse(std::uint64_t size, Reuse* reuse = nullptr) {
        State s;
        if (size < kNodeSize) {
            corrupt("the file is shorter than its header");
        }
        unsigned char h[2 * kNodeSize] = {};
        readBlock(h, static_cast<std::size_t>(std::min<std::uint64_t>(size, sizeof h)), 0);
        const std::size_t headerSize = parseHeader(h, size, s);
        useKeyExpression(s);
        const char pad = expr_->type() == KeyType::Character ? ' ' : '\0';

        const std::uint32_t root = getLE32(h);
        Walker w{*this, size, headerSize, s, pad, {}, {}, {}, {}, {}, reuse, {}, false, 0};
        s.root = w.node(root, -1, 0);
        w.linkSiblings();
        if (reuse != nullptr) {
            w.assemble();
        }
        s.fileEnd = (size + kNodeSize - 1) / kNodeSize * kNodeSize;
        if (writable_) {
            collectFreeBlocks(s, w.visited, headerSize);
        }
        return s;
    }

    // Reads the tree depth-first, checking every node before it is used.
    struct Walker {
        const IdxFile& file;
        std::uint64_t size;
        std::size_t headerSize;
        State& s;
        char pad;
        std::unordered_set<std::uint32_t> visited;
        std::vector<std::int32_t> leaves;
        std::vector<std::vector<std::int32_t>> interiorByDepth;
        std::vector<std::uint32_t> leafLeft;
        std::vector<std::uint32_t> leafRight;
        Reuse* reuse = nullptr;
        std::vector<Segment> segments;
        bool lastHeld = false; // the last key so far is a held one, at heldEnd - 1
        std::size_t heldEnd = 0;

        std::string where(std::uint32_t off) const { return "node at offset " + std::to_string(off); }

        std::int32_t node(std::uint32_t off, std::int32_t parent, int depth) {
            if (off % kNodeSize != 0 || off < headerSize || static_cast<std::uint64_t>(off) + kNodeSize > size) {
                file.corrupt("a node offset (" + std::to_string(off) + ") lies outside the file");
            }
            if (!visited.insert(off).second) {
                file.corrupt("the " + where(off) + " is reached twice");
            }
            if (depth > kMaxDepth) {
                file.corrupt("the tree is too deep");
            }
            if (reuse != nullptr && !reuse->changed.contains(off)) {
                if (const auto it = reuse->byOffset.find(off); it != reuse->byOffset.end()) {
                    return held(it->second, off, parent, depth);
                }
            }
            unsigned char p[kNodeSize];
            file.readBlock(p, kNodeSize, off);
            const std::uint16_t attrs = getLE16(p);
            const std::uint16_t count = getLE16(p + 2);
            if (attrs > 3) {
                file.corrupt("the " + where(off) + " has unknown attributes " + std::to_string(attrs));
            }
            const auto id = static_cast<std::int32_t>(s.nodes.size());
            s.nodes.push_back(MNode{});
            s.nodes[static_cast<std::size_t>(id)].offset = off;
            s.nodes[static_cast<std::size_t>(id)].parent = parent;
            if (attrs & kAttrLeaf) {
                s.nodes[static_cast<std::size_t>(id)].leaf = true;
                if (count == 0 && parent >= 0) {
                    file.corrupt("the " + where(off) + " is an empty leaf");
                }
                const std::size_t before = s.entries.size();
                if (s.kind == IndexKind::Compact) {
                    compactLeaf(p, off, count);
                } else {
                    nonCompactLeaf(p, off, count);
                }
                addSegment(false, before, s.entries.size() - before);
                s.nodes[static_cast<std::size_t>(id)].size = static_cast<std::uint32_t>(s.entries.size() - before);
                leaves.push_back(id);
                leafLeft.push_back(getLE32(p + 4));
                leafRight.push_back(getLE32(p + 8));
                return id;
            }
            s.nodes[static_cast<std::size_t>(id)].leaf = false;
            const int kl = s.keyLength;
            const bool compact = s.kind == IndexKind::Compact;
            const int cap = compact ? compactInteriorCapacity(kl) : nonCompactCapacity(kl);
            if (count == 0 || count > cap) {
                file.corrupt("the " + where(off) + " holds " + std::to_string(count) + " keys");
            }
            noteInterior(id, depth);
            const std::size_t entrySize = static_cast<std::size_t>(kl) + (compact ? 8 : 4);
            std::uint32_t total = 0;
            for (std::size_t i = 0; i < count; ++i) {
                const unsigned char* e = p + 12 + i * entrySize;
                const std::uint32_t child = getBE32(e + kl + (compact ? 4 : 0));
                const std::int32_t kid = node(child, id, depth + 1);
                s.nodes[static_cast<std::size_t>(id)].kids.push_back(kid);
                total += s.nodes[static_cast<std::size_t>(kid)].size;
            }
            s.nodes[static_cast<std::size_t>(id)].size = total;
            return id;
        }

        void noteInterior(std::int32_t id, int depth) {
            if (interiorByDepth.size() <= static_cast<std::size_t>(depth)) {
                interiorByDepth.resize(static_cast<std::size_t>(depth) + 1);
            }
            interiorByDepth[static_cast<std::size_t>(depth)].push_back(id);
        }

        const IndexEntry* lastEntry() const {
            if (lastHeld) {
                return &(*reuse->entries)[heldEnd - 1];
            }
            return s.entries.empty() ? nullptr : &s.entries.back();
        }

        void addSegment(bool fromHeld, std::size_t from, std::size_t count) {
            if (reuse == nullptr || count == 0) {
                return;
            }
            if (!segments.empty() && segments.back().held == fromHeld &&
                segments.back().from + segments.back().count == from) {
                segments.back().count += count;
            } else {
                segments.push_back(Segment{fromHeld, from, count});
            }
        }

        // A block unchanged since it was read: its place in the tree and its keys as held.
        std::int32_t held(std::int32_t oldId, std::uint32_t off, std::int32_t parent, int depth) {
            const MNode& o = (*reuse->nodes)[static_cast<std::size_t>(oldId)];
            const auto id = static_cast<std::int32_t>(s.nodes.size());
            s.nodes.push_back(MNode{});
            s.nodes[static_cast<std::size_t>(id)].offset = off;
            s.nodes[static_cast<std::size_t>(id)].parent = parent;
            if (o.leaf) {
                if (o.size == 0 && parent >= 0) {
                    file.corrupt("the " + where(off) + " is an empty leaf");
                }
                const std::size_t start = reuse->start[static_cast<std::size_t>(oldId)];
                if (o.size > 0) {
                    const IndexEntry& first = (*reuse->entries)[start];
                    const IndexEntry* last = lastEntry();
                    if (last != nullptr && compareEntry(*last, first.key, first.recno) >= 0) {
                        file.corrupt("the keys are out of order in the " + where(off));
                    }
                    addSegment(true, start, o.size);
                    lastHeld = true;
                    heldEnd = start + o.size;
                }
                s.nodes[static_cast<std::size_t>(id)].size = o.size;
                leaves.push_back(id);
                const auto& old = *reuse->nodes;
                leafLeft.push_back(o.left >= 0 ? old[static_cast<std::size_t>(o.left)].offset : kNone);
                leafRight.push_back(o.right >= 0 ? old[static_cast<std::size_t>(o.right)].offset : kNone);
                return id;
            }
            s.nodes[static_cast<std::size_t>(id)].leaf = false;
            noteInterior(id, depth);
            std::uint32_t total = 0;
            for (const std::int32_t oldKid : o.kids) {
                const std::int32_t kid = node((*reuse->nodes)[static_cast<std::size_t>(oldKid)].offset, id, depth + 1);
                s.nodes[static_cast<std::size_t>(id)].kids.push_back(kid);
                total += s.nodes[static_cast<std::size_t>(kid)].size;
            }
            s.nodes[static_cast<std::size_t>(id)].size = total;
            return id;
        }

        // The keys of the new tree in order, moved out of what was held and what was read. Only
        // here, once the whole tree has been checked, is anything held given up.
        void assemble() {
            std::size_t total = 0;
            for (const Segment& g : segments) {
                total += g.count;
            }
            if (total != reuse->expectKeys) {
                file.corrupt("the index holds " + std::to_string(total) + " keys for " +
                             std::to_string(reuse->expectKeys) + " records");
            }
            std::vector<IndexEntry> all;
            all.reserve(total);
            for (const Segment& g : segments) {
                auto& from = g.held ? *reuse->entries : s.entries;
                const auto b = from.begin() + static_cast<std::ptrdiff_t>(g.from);
                all.insert(all.end(), std::make_move_iterator(b),
                           std::make_move_iterator(b + static_cast<std::ptrdiff_t>(g.count)));
            }
            s.entries = std::move(all);
        }

        void append(std::string key, std::uint32_t recno, std::uint32_t off) {
            if (recno == 0) {
                file.corrupt("the " + where(off) + " holds record number 0");
            }
            if (const IndexEntry* last = lastEntry(); last != nullptr && compareEntry(*last, key, recno) >= 0) {
                file.corrupt("the keys are out of order in the " + where(off));
            }
            s.entries.push_back(IndexEntry{std::move(key), recno});
            lastHeld = false;
        }

        void nonCompactLeaf(const unsigned char* p, std::uint32_t off, std::uint16_t count) {
            const int kl = s.keyLength;
            if (count > nonCompactCapacity(kl)) {
                file.corrupt("the " + where(off) + " holds " + std::to_string(count) + " keys");
            }
            const std::size_t entrySize = static_cast<std::size_t>(kl) + 4;
            for (std::size_t i = 0; i < count; ++i) {
                const unsigned char* e = p + 12 + i * entrySize;
                append(std::string(reinterpret_cast<const char*>(e), static_cast<std::size_t>(kl)), getBE32(e + kl),
                       off);
            }
        }

        void compactLeaf(const unsigned char* p, std::uint32_t off, std::uint16_t count) {
            if (count == 0) {
                return;
            }
            const int r = p[20];
            const int d = p[21];
            const int t = p[22];
            const int e = p[23];
            if (e < 1 || e > 8 || r < 1 || r > 32 || d > 16 || t > 16 || r + d + t > 8 * e) {
                file.corrupt("the " + where(off) + " has invalid bit counts");
            }
            const std::size_t entryEnd = 24 + static_cast<std::size_t>(count) * static_cast<std::size_t>(e);
            if (entryEnd > kNodeSize) {
                file.corrupt("the " + where(off) + " holds " + std::to_string(count) + " keys");
            }
            const std::uint64_t recMask = (std::uint64_t{1} << r) - 1;
            const std::uint64_t dupMask = (std::uint64_t{1} << d) - 1;
            const std::uint64_t trailMask = (std::uint64_t{1} << t) - 1;
            const auto kl = static_cast<std::size_t>(s.keyLength);
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
                    file.corrupt("the " + where(off) + " has invalid key compression");
                }
                const std::size_t stored = kl - dup - trail;
                if (keyPos < entryEnd + stored) {
                    file.corrupt("the keys overflow the " + where(off));
                }
                keyPos -= stored;
                std::string key;
                key.reserve(kl);
                key.append(prev, 0, dup);
                key.append(reinterpret_cast<const char*>(p + keyPos), stored);
                key.append(trail, pad);
                prev = key;
                append(std::move(key), recno, off);
            }
        }

        void linkSiblings() {
            for (std::size_t i = 0; i < leaves.size(); ++i) {
                const std::uint32_t wantLeft = i > 0 ? s.nodes[static_cast<std::size_t>(leaves[i - 1])].offset : kNone;
                const std::uint32_t wantRight =
                    i + 1 < leaves.size() ? s.nodes[static_cast<std::size_t>(leaves[i + 1])].offset : kNone;
                if (leafLeft[i] != wantLeft || leafRight[i] != wantRight) {
                    file.corrupt("the sibling links of the leaf at offset " +
                                 std::to_string(s.nodes[static_cast<std::size_t>(leaves[i])].offset) + " are broken");
                }
            }
            auto link = [this](const std::vector<std::int32_t>& level) {
                for (std::size_t i = 0; i < level.size(); ++i) {
                    MNode& n = s.nodes[static_cast<std::size_t>(level[i])];
                    n.left = i > 0 ? level[i - 1] : -1;
                    n.right = i + 1 < level.size() ? level[i + 1] : -1;
                }
            };
            link(leaves);
            for (const auto& level : interiorByDepth) {
                link(level);
            }
        }
    };

    void adopt(State&& s) {
        kind_ = s.kind;
        exprText_ = std::move(s.exprText);
        forText_ = std::move(s.forText);
        unique_ = s.unique;
        hasFor_ = s.hasFor;
        keyLength_ = s.keyLength;
        signature_ = s.signature;
        counter_ = s.counter;
        fileEnd_ = s.fileEnd;
        root_ = s.root;
        entries_ = std::move(s.entries);
        nodes_ = std::move(s.nodes);
        logSince_ = s.logSince;
        logTime_ = s.logTime;
        log_ = std::move(s.log);
        freeIds_.clear();
        freeOffsets_ = std::move(s.freeOffsets);
        pad_ = expr_->type() == KeyType::Character ? ' ' : '\0';
    }

    // --- helpers ------------------------------------------------------------------------------

    MNode& nd(std::int32_t id) { return nodes_[static_cast<std::size_t>(id)]; }
    const MNode& nd(std::int32_t id) const { return nodes_[static_cast<std::size_t>(id)]; }

    std::size_t headerSize() const { return kind_ == IndexKind::Compact ? 2 * kNodeSize : kNodeSize; }

    std::string fullKey(std::string_view key) const {
        std::string k(key.substr(0, std::min(key.size(), static_cast<std::size_t>(keyLength_))));
        k.resize(static_cast<std::size_t>(keyLength_), pad_);
        return k;
    }

    std::size_t lowerBound(std::string_view key, std::uint32_t recno) const {
        auto it = std::lower_bound(entries_.begin(), entries_.end(), 0,
                                   [&](const IndexEntry& e, int) { return compareEntry(e, key, recno) < 0; });
        return static_cast<std::size_t>(it - entries_.begin());
    }

    void requireWritable() const {
        if (!writable_) {
            throw ETableError("Index file " + name_ + " is open read-only.");
        }
        if (hasFor_) {
            throw ETableError("Index file " + name_ + " has a FOR clause (" + forText_ +
                              "), which this program cannot keep up to date.");
        }
    }

    std::size_t positionOf(std::int32_t id) const {
        std::size_t start = 0;
        std::int32_t n = id;
        for (std::int32_t p = nd(n).parent; p >= 0; n = p, p = nd(p).parent) {
            for (std::int32_t k : nd(p).kids) {
                if (k == n) {
                    break;
                }
                start += nd(k).size;
            }
        }
        return start;
    }

    // The leaf holding position `pos` (the leaf of the key now at `pos`, or the last leaf when
    // `pos` is the end), and where that leaf's keys start.
    std::int32_t leafFor(std::size_t pos, std::size_t& start) const {
        std::int32_t id = root_;
        start = 0;
        while (!nd(id).leaf) {
            const auto& kids = nd(id).kids;
            std::int32_t chosen = kids.back();
            for (std::size_t i = 0; i + 1 < kids.size(); ++i) {
                const std::uint32_t sz = nd(kids[i]).size;
                if (pos < start + sz) {
                    chosen = kids[i];
                    break;
                }
                start += sz;
            }
            id = chosen;
        }
        return id;
    }

    // A new node; `bulk` while laying out a whole file, which then only grows at its end.
    std::int32_t allocNode(bool leaf, bool bulk = false) {
        std::int32_t id;
        if (!freeIds_.empty()) {
            id = freeIds_.back();
            freeIds_.pop_back();
            nd(id) = MNode{};
        } else {
            id = static_cast<std::int32_t>(nodes_.size());
            nodes_.emplace_back();
        }
        std::uint32_t off;
        if (bulk) {
            if (fileEnd_ + kNodeSize > 0xFFFFFFFFull) {
                throw ETableError("Index file " + name_ + " has grown too large.");
            }
            off = static_cast<std::uint32_t>(fileEnd_);
            fileEnd_ += kNodeSize;
        } else {
            if (freeOffsets_.empty()) {
                growFile();
            }
            off = freeOffsets_.back();
            freeOffsets_.pop_back();
        }
        nd(id).offset = off;
        nd(id).leaf = leaf;
        return id;
    }

    // Adds zeroed blocks at the end of the file and syncs them once, so that the nodes later
    // written there are plain overwrites (a write that grows a file costs a journal commit).
    void growFile() {
        const std::size_t blocks = std::clamp<std::size_t>(nodes_.size() / 16, 16, 256);
        if (fileEnd_ + blocks * kNodeSize > 0xFFFFFFFFull) {
            throw ETableError("Index file " + name_ + " has grown too large.");
        }
        // Space is taken here, before any group of changes is journalled: a full disk then fails
        // the change while nothing of it has been written.
        const std::vector<unsigned char> zeros(blocks * kNodeSize, 0);
        ioWrite(fd_, zeros.data(), zeros.size(), fileEnd_, name_);
        ioSync(fd_, name_);
        for (std::size_t b = blocks; b-- > 0;) {
            freeOffsets_.push_back(static_cast<std::uint32_t>(fileEnd_ + b * kNodeSize));
        }
        fileEnd_ += blocks * kNodeSize;
    }

    void freeNode(std::int32_t id) {
        nd(id).alive = false;
        nd(id).kids.clear();
        freeIds_.push_back(id);
        freeOffsets_.push_back(nd(id).offset);
    }

    // The last key of the node changed: its parent's entry for it must be written again, and so
    // on up while the node is its parent's last child.
    void maxChanged(std::int32_t id) {
        for (std::int32_t n = id, p = nd(id).parent; p >= 0; n = p, p = nd(p).parent) {
            dirty_.insert(p);
            if (nd(p).kids.back() != n) {
                break;
            }
        }
    }

    bool leafFits(std::span<const IndexEntry> entries) const {
        if (kind_ == IndexKind::NonCompact) {
            return entries.size() <= static_cast<std::size_t>(nonCompactCapacity(keyLength_));
        }
        unsigned char scratch[kNodeSize];
        return encodeCompactLeaf(scratch, entries, keyLength_, pad_, 0, kNone, kNone);
    }

    int interiorCapacity() const {
        return kind_ == IndexKind::Compact ? compactInteriorCapacity(keyLength_) : nonCompactCapacity(keyLength_);
    }

    bool fits(std::int32_t id) const {
        const MNode& n = nd(id);
        if (!n.leaf) {
            return n.kids.size() <= static_cast<std::size_t>(interiorCapacity());
        }
        const std::size_t start = positionOf(id);
        return leafFits(std::span<const IndexEntry>(entries_.data() + start, n.size));
    }

    // --- changes ------------------------------------------------------------------------------

    void insertAt(std::size_t pos, IndexEntry e) {
        std::size_t start = 0;
        const std::int32_t leaf = leafFor(pos, start);
        const bool atEnd = pos == start + nd(leaf).size;
        entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(pos), std::move(e));
        for (std::int32_t n = leaf; n >= 0; n = nd(n).parent) {
            ++nd(n).size;
        }
        dirty_.insert(leaf);
        if (atEnd) {
            maxChanged(leaf);
        }
        for (std::int32_t n = leaf; n >= 0 && !fits(n);) {
            split(n);
            n = nd(n).parent;
        }
    }

    void split(std::int32_t id) {
        const bool leaf = nd(id).leaf;
        const std::int32_t nid = allocNode(leaf);
        if (leaf) {
            const std::size_t start = positionOf(id);
            const std::size_t count = nd(id).size;
            std::size_t k = count / 2;
            if (kind_ == IndexKind::Compact) {
                const IndexEntry* base = entries_.data() + start;
                for (std::size_t tries = 0; tries <= count; ++tries) {
                    const bool leftOk = leafFits(std::span<const IndexEntry>(base, k));
                    const bool rightOk = leafFits(std::span<const IndexEntry>(base + k, count - k));
                    if (leftOk && rightOk) {
                        break;
                    }
                    if (!leftOk && k > 1) {
                        --k;
                    } else if (!rightOk && k + 1 < count) {
                        ++k;
                    } else {
                        throw ETableError("Index file " + name_ + ": a leaf cannot be split.");
                    }
                }
            }
            nd(id).size = static_cast<std::uint32_t>(k);
            nd(nid).size = static_cast<std::uint32_t>(count - k);
        } else {
            auto& kids = nd(id).kids;
            const std::size_t keep = (kids.size() + 1) / 2;
            std::vector<std::int32_t> moved(kids.begin() + static_cast<std::ptrdiff_t>(keep), kids.end());
            kids.resize(keep);
            std::uint32_t movedSize = 0;
            for (std::int32_t k : moved) {
                nd(k).parent = nid;
                movedSize += nd(k).size;
            }
            nd(id).size -= movedSize;
            nd(nid).size = movedSize;
            nd(nid).kids = std::move(moved);
        }
        const std::int32_t right = nd(id).right;
        nd(nid).left = id;
        nd(nid).right = right;
        nd(id).right = nid;
        if (right >= 0) {
            nd(right).left = nid;
            links_.insert(right);
        }
        if (id == root_) {
            const std::int32_t rid = allocNode(false);
            nd(rid).kids = {id, nid};
            nd(rid).size = nd(id).size + nd(nid).size;
            nd(id).parent = rid;
            nd(nid).parent = rid;
            root_ = rid;
            dirty_.insert(rid);
        } else {
            const std::int32_t p = nd(id).parent;
            auto& kids = nd(p).kids;
            kids.insert(std::find(kids.begin(), kids.end(), id) + 1, nid);
            nd(nid).parent = p;
            dirty_.insert(p);
        }
        dirty_.insert(id);
        dirty_.insert(nid);
    }

    void removeAt(std::size_t pos) {
        std::size_t start = 0;
        const std::int32_t leaf = leafFor(pos, start);
        const bool wasLast = pos + 1 == start + nd(leaf).size;
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(pos));
        for (std::int32_t n = leaf; n >= 0; n = nd(n).parent) {
            --nd(n).size;
        }
        if (nd(leaf).size == 0 && leaf != root_) {
            detach(leaf);
        } else {
            dirty_.insert(leaf);
            if (wasLast) {
                maxChanged(leaf);
            }
        }
        // A root with a single child hands the root over to it.
        while (!nd(root_).leaf && nd(root_).kids.size() == 1) {
            const std::int32_t child = nd(root_).kids.front();
            freeNode(root_);
            root_ = child;
            nd(child).parent = -1;
            nd(child).left = -1;
            nd(child).right = -1;
            dirty_.insert(child);
        }
    }

    void detach(std::int32_t id) {
        const std::int32_t p = nd(id).parent;
        auto& kids = nd(p).kids;
        const bool wasLastKid = kids.back() == id;
        kids.erase(std::find(kids.begin(), kids.end(), id));
        const std::int32_t l = nd(id).left;
        const std::int32_t r = nd(id).right;
        if (l >= 0) {
            nd(l).right = r;
            links_.insert(l);
        }
        if (r >= 0) {
            nd(r).left = l;
            links_.insert(r);
        }
        freeNode(id);
        if (kids.empty()) {
            if (p != root_) {
                detach(p);
            } else {
                nd(p).leaf = true; // everything is gone: the root becomes an empty leaf
                nd(p).size = 0;
                dirty_.insert(p);
            }
            return;
        }
        dirty_.insert(p);
        if (wasLastKid) {
            maxChanged(p);
        }
    }

    // --- writing ------------------------------------------------------------------------------

    void encodeNode(std::int32_t id, std::size_t start, unsigned char* out) const {
        const MNode& n = nd(id);
        const auto attrs = static_cast<std::uint16_t>((n.leaf ? kAttrLeaf : 0) | (id == root_ ? kAttrRoot : 0));
        const std::uint32_t left = n.left >= 0 ? nd(n.left).offset : kNone;
        const std::uint32_t right = n.right >= 0 ? nd(n.right).offset : kNone;
        const auto kl = static_cast<std::size_t>(keyLength_);
        if (n.leaf && kind_ == IndexKind::Compact) {
            if (!encodeCompactLeaf(out, std::span<const IndexEntry>(entries_.data() + start, n.size), keyLength_, pad_,
                                   attrs, left, right)) {
                throw ETableError("Index file " + name_ + ": a leaf does not fit its node.");
            }
            return;
        }
        std::memset(out, 0, kNodeSize);
        putLE16(out, attrs);
        putLE32(out + 4, left);
        putLE32(out + 8, right);
        unsigned char* e = out + 12;
        if (n.leaf) {
            putLE16(out + 2, static_cast<std::uint16_t>(n.size));
            for (std::size_t i = 0; i < n.size; ++i) {
                const IndexEntry& x = entries_[start + i];
                std::memcpy(e, x.key.data(), kl);
                putBE32(e + kl, x.recno);
                e += kl + 4;
            }
            return;
        }
        putLE16(out + 2, static_cast<std::uint16_t>(n.kids.size()));
        std::size_t pos = start;
        const bool compact = kind_ == IndexKind::Compact;
        for (std::int32_t k : n.kids) {
            pos += nd(k).size;
            const IndexEntry& x = entries_[pos - 1];
            std::memcpy(e, x.key.data(), kl);
            if (compact) {
                putBE32(e + kl, x.recno);
                putBE32(e + kl + 4, nd(k).offset);
                e += kl + 8;
            } else {
                putBE32(e + kl, nd(k).offset);
                e += kl + 4;
            }
        }
    }

    void encodeHeader(unsigned char* h) const {
        std::memset(h, 0, headerSize());
        putLE32(h, nd(root_).offset);
        putLE32(h + 4, kNone);
        putLE16(h + 12, static_cast<std::uint16_t>(keyLength_));
        std::uint8_t options = unique_ ? kOptUnique : 0;
        if (hasFor_) {
            options |= kOptFor;
        }
        h[15] = signature_;
        if (kind_ == IndexKind::NonCompact) {
            putLE32(h + 8, static_cast<std::uint32_t>(fileEnd_));
            h[14] = options;
            std::memcpy(h + 16, exprText_.data(), std::min<std::size_t>(exprText_.size(), 219));
            std::memcpy(h + 236, forText_.data(), std::min<std::size_t>(forText_.size(), 219));
            putLE32(h + kNonCompactCounterAt, counter_);
            encodeLog(h);
        } else {
            putLE32(h + kCompactCounterAt, counter_);
            h[14] = static_cast<std::uint8_t>(options | kOptCompact);
            const std::size_t keyLen = std::min<std::size_t>(exprText_.size(), 510);
            const std::size_t forLen = std::min<std::size_t>(forText_.size(), 510 - keyLen);
            putLE16(h + 502, 0);
            putLE16(h + 504, static_cast<std::uint16_t>(keyLen + 1 + forLen + 1));
            putLE16(h + 506, static_cast<std::uint16_t>(forLen + 1));
            putLE16(h + 510, static_cast<std::uint16_t>(keyLen + 1));
            std::memcpy(h + 512, exprText_.data(), keyLen);
            std::memcpy(h + 512 + keyLen + 1, forText_.data(), forLen);
            encodeLog(h);
        }
    }

    // Runs a change of the tree; when it fails, what is in memory is dropped and read again from
    // the file on the next refresh().
    template <typename F> void changing(F&& change) {
        try {
            change();
        } catch (...) {
            stamp_ = Stamp{};
            dirty_.clear();
            links_.clear();
            throw;
        }
    }

    // Writes the changed nodes and the header as one group, then notes the file's new state.
    void finishWrite() {
        // A leaf written by another program may be packed more tightly than this engine packs;
        // split whatever no longer fits before anything is written.
        for (bool again = true; again;) {
            again = false;
            const std::vector<std::int32_t> check(dirty_.begin(), dirty_.end());
            for (std::int32_t id : check) {
                if (nd(id).alive && !fits(id)) {
                    split(id);
                    again = true;
                }
            }
        }
        std::vector<std::int32_t> ids(dirty_.begin(), dirty_.end());
        dirty_.clear();
        std::sort(ids.begin(), ids.end(),
                  [this](std::int32_t a, std::int32_t b) { return nd(a).offset < nd(b).offset; });
        std::vector<JournalWrite> writes;
        unsigned char buf[kNodeSize];
        for (std::int32_t id : ids) {
            if (!nd(id).alive) {
                continue;
            }
            encodeNode(id, positionOf(id), buf);
            writes.push_back(JournalWrite{nd(id).offset, std::string(reinterpret_cast<const char*>(buf), kNodeSize)});
        }
        // Nodes whose only change is a sibling link get just their two link fields.
        for (std::int32_t id : links_) {
            if (!nd(id).alive || std::find(ids.begin(), ids.end(), id) != ids.end()) {
                continue;
            }
            unsigned char link[8];
            putLE32(link, nd(id).left >= 0 ? nd(nd(id).left).offset : kNone);
            putLE32(link + 4, nd(id).right >= 0 ? nd(nd(id).right).offset : kNone);
            writes.push_back(
                JournalWrite{nd(id).offset + 4, std::string(reinterpret_cast<const char*>(link), sizeof link)});
        }
        links_.clear();
        ++counter_;
        std::vector<std::uint32_t> blocks;
        blocks.reserve(writes.size());
        for (const JournalWrite& w : writes) {
            blocks.push_back(static_cast<std::uint32_t>(w.offset / kNodeSize * kNodeSize));
        }
        noteGroup(std::move(blocks));
        ::clock_gettime(CLOCK_REALTIME, &logTime_);
        std::vector<unsigned char> h(headerSize());
        encodeHeader(h.data());
        // The expression pool of a compact header never changes.
        writes.push_back(JournalWrite{0, std::string(reinterpret_cast<const char*>(h.data()), kNodeSize)});
        commit(std::move(writes), 0, false);
        markWritten();
    }

    // Gives the file the modification time the header names, which tells readers that no other
    // program wrote since (a file this user does not own keeps the system's time: readers then
    // read it whole), and notes the file's state as ours.
    void markWritten() {
        const bool timed = logTime_.tv_sec != 0 || logTime_.tv_nsec != 0;
        if (timed) {
            const timespec times[2] = {{0, UTIME_OMIT}, logTime_};
            ::futimens(fd_, times);
        }
        stamp_ = statFile();
        stamp_.counter = counter_;
        partial_ = false;
        listUnsound_ = !timed;
    }

    void rebuildFrom(std::uint32_t recordCount, const RecordSource& records) {
        const auto kl = static_cast<std::size_t>(keyLength_);
        std::string keys(static_cast<std::size_t>(recordCount) * kl, ' ');
        for (std::uint32_t r = 1; r <= recordCount; ++r) {
            expr_->evaluateTo(records(r), keys.data() + static_cast<std::size_t>(r - 1) * kl);
        }
        std::vector<std::uint32_t> order(recordCount);
        std::iota(order.begin(), order.end(), 0u);
        const char* kp = keys.data();
        std::sort(order.begin(), order.end(), [kp, kl](std::uint32_t a, std::uint32_t b) {
            const int c = std::memcmp(kp + a * kl, kp + b * kl, kl);
            return c != 0 ? c < 0 : a < b;
        });
        std::vector<IndexEntry> entries;
        entries.reserve(order.size());
        for (std::uint32_t i : order) {
            const char* k = kp + static_cast<std::size_t>(i) * kl;
            if (unique_ && !entries.empty() && std::memcmp(entries.back().key.data(), k, kl) == 0) {
                continue;
            }
            entries.push_back(IndexEntry{std::string(k, kl), i + 1});
        }
        entries_ = std::move(entries);
        bulkWrite();
    }

    // A tree being laid out: where each node's entries start (by node id) and the level in progress.
    struct Layout {
        std::vector<std::size_t> starts;
        std::vector<std::int32_t> level;
    };

    std::int32_t layNode(Layout& t, bool leaf, std::size_t start, std::uint32_t size) {
        const std::int32_t id = allocNode(leaf, true);
        nd(id).size = size;
        t.starts.push_back(start);
        t.level.push_back(id);
        return id;
    }

    // Compact leaves hold as many keys as their compressed form fits in a node.
    void layCompactLeaves(Layout& t) {
        std::size_t s = 0;
        std::size_t count = 0;
        std::size_t bytes = 0;
        std::uint32_t maxRecno = 0;
        int prevTrail = 0;
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            const IndexEntry& e = entries_[i];
            const int trail = trailingCount(e.key, pad_);
            const int dup = count == 0 ? 0 : sharedCount(entries_[i - 1].key, prevTrail, e.key, trail);
            const auto stored = static_cast<std::size_t>(keyLength_ - dup - trail);
            const std::uint32_t mr = std::max(maxRecno, e.recno);
            const auto eb = static_cast<std::size_t>(leafLayout(keyLength_, mr).entryBytes);
            if (count > 0 && (count + 1) * eb + bytes + stored > kCompactLeafSpace) {
                layNode(t, true, s, static_cast<std::uint32_t>(count));
                s = i;
                count = 1;
                bytes = static_cast<std::size_t>(keyLength_ - trail);
                maxRecno = e.recno;
            } else {
                ++count;
                bytes += stored;
                maxRecno = mr;
            }
            prevTrail = trail;
        }
        layNode(t, true, s, static_cast<std::uint32_t>(count));
    }

    void layLeaves(Layout& t) {
        const std::size_t n = entries_.size();
        if (n == 0) {
            layNode(t, true, 0, 0);
        } else if (kind_ == IndexKind::NonCompact) {
            const auto cap = static_cast<std::size_t>(nonCompactCapacity(keyLength_));
            for (std::size_t s = 0; s < n; s += cap) {
                layNode(t, true, s, static_cast<std::uint32_t>(std::min(cap, n - s)));
            }
        } else {
            layCompactLeaves(t);
        }
    }

    // Interior levels, the children spread evenly over as few nodes as will hold them, up to the root.
    void layInteriorLevels(Layout& t) {
        const auto cap = static_cast<std::size_t>(interiorCapacity());
        std::vector<std::int32_t> below;
        for (;;) {
            below.swap(t.level);
            t.level.clear();
            for (std::size_t i = 0; i < below.size(); ++i) {
                nd(below[i]).left = i > 0 ? below[i - 1] : -1;
                nd(below[i]).right = i + 1 < below.size() ? below[i + 1] : -1;
            }
            if (below.size() == 1) {
                root_ = below.front();
                return;
            }
            const std::size_t groups = (below.size() + cap - 1) / cap;
            std::size_t at = 0;
            for (std::size_t g = 0; g < groups; ++g) {
                const std::size_t take = below.size() / groups + (g < below.size() % groups ? 1 : 0);
                const std::int32_t id = layNode(t, false, t.starts[static_cast<std::size_t>(below[at])], 0);
                std::uint32_t size = 0;
                for (std::size_t j = 0; j < take; ++j, ++at) {
                    nd(id).kids.push_back(below[at]);
                    nd(below[at]).parent = id;
                    size += nd(below[at]).size;
                }
                nd(id).size = size;
            }
        }
    }

    // Lays the whole tree out afresh from the ordered keys and writes the file in one go.
    void bulkWrite() {
        nodes_.clear();
        freeIds_.clear();
        freeOffsets_.clear();
        dirty_.clear();
        links_.clear();
        fileEnd_ = headerSize();
        Layout t;
        layLeaves(t);
        layInteriorLevels(t);

        std::vector<unsigned char> image(fileEnd_);
        ++counter_;
        log_.clear();
        logSince_ = counter_; // a reader of an older tree reads the new one whole
        // No time either, so that a file built from the same records has the same bytes; the next
        // group then lists nothing before itself.
        logTime_ = timespec{};
        encodeHeader(image.data());
        for (std::size_t id = 0; id < nodes_.size(); ++id) {
            encodeNode(static_cast<std::int32_t>(id), t.starts[id], image.data() + nodes_[id].offset);
        }
        // The whole file is one group: another program that has it open reads the new tree at its
        // next look (a new file renamed over it would leave that program on the old one).
        std::vector<JournalWrite> writes;
        writes.push_back(JournalWrite{0, std::string(reinterpret_cast<const char*>(image.data()), image.size())});
        image.clear();
        image.shrink_to_fit();
        commit(std::move(writes), fileEnd_, true);
        markWritten();
    }

    std::filesystem::path path_;
    std::string name_;
    std::filesystem::path journalPath_;
    std::string journalName_; // its last part, opened relative to dirFd_
    int fd_ = -1;
    int dirFd_ = -1;
    bool fresh_ = false;
    std::optional<Seen> ignored_; // what a read-only handle found at the journal's name and left
    std::vector<std::string> notices_;
    std::uint64_t fileId_ = 0;
    mode_t fileMode_ = 0;
    std::optional<Journal> overlay_; // a pending group a read-only handle reads through
    bool needSync_ = false;
    bool writable_ = false;
    std::vector<FieldDef> fields_;
    CodePage cp_;
    IoProbe* probe_ = nullptr;

    std::optional<KeyExpression> expr_;
    IndexKind kind_ = IndexKind::Compact;
    std::string exprText_;
    std::string forText_;
    bool unique_ = false;
    bool hasFor_ = false;
    int keyLength_ = 0;
    char pad_ = ' ';
    std::uint8_t signature_ = 0;
    std::uint32_t counter_ = 0;
    std::uint64_t fileEnd_ = 0;

    std::vector<IndexEntry> entries_;
    std::vector<MNode> nodes_;
    std::int32_t root_ = -1;
    std::vector<std::int32_t> freeIds_;
    std::vector<std::uint32_t> freeOffsets_;
    std::set<std::int32_t> dirty_; // nodes to write whole
    std::set<std::int32_t> links_; // nodes whose sibling links changed
    std::uint32_t logSince_ = 0;
    std::vector<LogPair> log_; // the blocks of the latest groups, as the header lists them
    Stamp stamp_;
    timespec logTime_{};
    bool listUnsound_ = false; // another program may have written since our last group
    bool partial_ = false;     // what is held came partly from following changes since the last whole read
};

// The folder of `path`, for the journal's *at calls.
int openFolder(const std::filesystem::path& path) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        throw ETableError("Cannot open the folder of index file " + path.string() + ": " + std::strerror(errno) + ".");
    }
    return fd;
}

// An existing regular file, opened without waiting on a pipe; for writing, never through a link.
int openExisting(const std::filesystem::path& path, bool writable, const std::string& missingText) {
    int fd;
    do {
        fd = ::open(path.c_str(), (writable ? O_RDWR | O_NOFOLLOW : O_RDONLY) | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == ENOENT && !missingText.empty()) {
            throw ETableError(missingText);
        }
        throw ETableError("Cannot open index file " + path.string() + ": " + errorText(errno) + ".");
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        throw ETableError("Cannot open index file " + path.string() +
                          ": not a regular file (a folder, a pipe or a device).");
    }
    return fd;
}

} // namespace

std::unique_ptr<IndexFile> IndexFile::open(const std::filesystem::path& path, bool writable,
                                           std::span<const FieldDef> fields, CodePage cp, IoProbe* probe) {
    const int fd = openExisting(path, writable, "Index file does not exist.\rFile: " + path.string());
    int dirFd = -1;
    try {
        dirFd = openFolder(path);
    } catch (...) {
        ::close(fd);
        throw;
    }
    auto f = std::make_unique<IdxFile>(path, fd, dirFd, writable, fields, cp, probe);
    f->load();
    return f;
}

std::unique_ptr<IndexFile> IndexFile::create(const std::filesystem::path& path, IndexKind kind,
                                             std::string_view expression, std::span<const FieldDef> fields, CodePage cp,
                                             std::uint32_t recordCount, const RecordSource& records, bool unique,
                                             IoProbe* probe) {
    // Check the expression before touching the file.
    KeyExpression check(expression, fields, cp, path.string());
    (void)check;
    struct stat st {};
    const bool exists = ::lstat(path.c_str(), &st) == 0;
    if (exists && S_ISREG(st.st_mode)) {
        // Rewritten in place as one journalled group: another program that has it open reads the
        // new tree at its next look.
        const int dirFd = openFolder(path);
        int fd = -1;
        try {
            fd = openExisting(path, true, {});
        } catch (...) {
            ::close(dirFd);
            throw;
        }
        auto f = std::make_unique<IdxFile>(path, fd, dirFd, true, fields, cp, probe);
        f->initFresh(kind, expression, unique, recordCount, records);
        return f;
    }
    if (exists && !S_ISLNK(st.st_mode)) {
        throw ETableError("Cannot create index file " + path.string() +
                          ": a folder, a pipe or a device of that name is in the way.");
    }
    // A new file, or one in place of a link (the link goes; what it points at is not touched):
    // made whole under a temporary name, then named.
    NewFile made(path, exists ? NewFile::Replace::Always : NewFile::Replace::Never, probe);
    const int dirFd = openFolder(path);
    const int fd = ::fcntl(made.fd(), F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        ::close(dirFd);
        throw ETableError("Cannot create index file " + path.string() + ": " + std::strerror(errno) + ".");
    }
    auto f = std::make_unique<IdxFile>(path, fd, dirFd, true, fields, cp, probe, true);
    f->initFresh(kind, expression, unique, recordCount, records);
    if (!made.commit()) {
        throw ETableError("Cannot create index file " + path.string() +
                          ": another program created a file of that name meanwhile. Try again.");
    }
    f->named();
    return f;
}

std::optional<IndexHeader> IndexFile::readHeader(const std::filesystem::path& path) {
    File in;
    if (in.open(path, File::Access::ReadOnly) != 0) {
        return std::nullopt;
    }
    unsigned char h[2 * kNodeSize] = {};
    std::size_t got = 0;
    try {
        got = in.readAt(0, h, sizeof h);
    } catch (const ETableError&) {
        return std::nullopt;
    }
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

} // namespace arrowsel::data
