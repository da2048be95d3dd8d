// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/index_file.h"

#include "data/file_io.h"
#include "data/idx_codec.h"
#include "data/idx_follower.h"
#include "data/idx_io.h"
#include "data/idx_journal_keeper.h"
#include "data/idx_tree.h"
#include "data/idx_tree_reader.h"
#include "data/new_file.h"
#include "data/table_error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <numeric>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace arrowsel::data {

namespace {

using namespace idx;

// One open .idx file: what it holds in memory (its header's fields and the tree), kept in step
// with the file by reading it (whole, or following another program's changes) and by writing each
// change as one group through the journal.
class IdxFile final : public IndexFile {
public:
    // `dirFd` is the index's folder, through which the journal is reached (both are owned from
    // here on); `fresh` for a new file not yet named, which needs no journal.
    IdxFile(std::filesystem::path path, int fd, int dirFd, bool writable, std::span<const FieldDef> fields, CodePage cp,
            IoProbe* probe, bool fresh = false)
        : path_(std::move(path)), name_(path_.string()), io_(fd, name_, probe),
          keeper_(io_, path_, dirFd, writable, fresh), writable_(writable), fields_(fields.begin(), fields.end()),
          cp_(cp) {
        tree_.setGrow([this](std::uint64_t at, std::size_t bytes) {
            // Space is taken here, before any group of changes is journalled: a full disk then
            // fails the change while nothing of it has been written.
            const std::vector<unsigned char> zeros(bytes, 0);
            io_.write(zeros.data(), zeros.size(), at);
            io_.sync();
        });
    }

    // The new file has taken its name: from now on its changes go through the journal. The
    // rename changed the file's status time, which is not another program's change.
    void named() {
        keeper_.named();
        const std::uint32_t counter = stamp_.counter;
        stamp_ = io_.stat();
        stamp_.counter = counter;
    }

    std::vector<std::string> takeNotices() override { return keeper_.takeNotices(); }

    ~IdxFile() override = default;
    IdxFile(const IdxFile&) = delete;
    IdxFile& operator=(const IdxFile&) = delete;
    IdxFile(IdxFile&&) = delete;
    IdxFile& operator=(IdxFile&&) = delete;

    // --- set-up -------------------------------------------------------------------------------

    void load() {
        stamp_ = Stamp{}; // stays unknown (a later refresh reads again) unless the read succeeds
        keeper_.recover();
        Stamp st = io_.stat();
        if (st.size < 0 || static_cast<std::uint64_t>(st.size) > 0xFFFFFFFFull) {
            corrupt("the file is too large");
        }
        TreeRead s = parse(keeper_.logicalSize(static_cast<std::uint64_t>(st.size)));
        // A file last written by another program (or by us without our time) may hold changes
        // that the list does not name: the next group we write lists nothing before itself.
        const bool ours = sameTime(st.mtime, s.head.changes.time);
        adopt(std::move(s));
        st.counter = io_.readCounter(head_.kind, st.size);
        stamp_ = st;
        partial_ = false;
        listUnsound_ = !ours;
    }

    // Writes a fresh file over whatever the path holds (kept as one group of writes, so a kill
    // leaves the old file or the new one).
    void initFresh(IndexKind kind, std::string_view expression, bool unique, std::uint32_t recordCount,
                   const RecordSource& records) {
        if (!keeper_.fresh()) {
            try {
                keeper_.recover();
            } catch (const ETableError&) {
                // Whatever was pending is overwritten by the new file.
            }
        }
        head_.unique = unique;
        initNew(kind, expression, recordCount, records);
    }

    void initNew(IndexKind kind, std::string_view expression, std::uint32_t recordCount, const RecordSource& records) {
        KeyExpression expr(expression, fields_, cp_, name_);
        const std::size_t limit = kind == IndexKind::Compact ? 510 : 219;
        if (expression.size() > limit || expression.find('\0') != std::string_view::npos) {
            throw ETableError("The key expression \"" + std::string(expression) + "\" is too long for index file " +
                              name_ + ".");
        }
        head_.kind = kind;
        head_.exprText = std::string(expression);
        head_.keyLength = expr.keyLength();
        pad_ = expr.type() == KeyType::Character ? ' ' : '\0';
        expr_ = std::move(expr);
        head_.counter = 0;
        tree_.setFormat(head_.kind, head_.keyLength, pad_, name_);
        rebuildFrom(recordCount, records);
    }

    // --- IndexFile ----------------------------------------------------------------------------

    const std::filesystem::path& path() const override { return path_; }
    IndexKind kind() const override { return head_.kind; }
    const KeyExpression& expression() const override { return *expr_; }
    bool unique() const override { return head_.unique; }
    std::size_t size() const override { return tree_.entries().size(); }
    const IndexEntry& at(std::size_t pos) const override { return tree_.entries()[pos]; }

    std::size_t findPrefix(std::string_view prefix) const override {
        const auto kl = static_cast<std::size_t>(head_.keyLength);
        if (prefix.size() > kl) {
            // Bytes past the key's end can only match as padding.
            if (prefix.substr(kl).find_first_not_of(pad_) != std::string_view::npos) {
                return npos;
            }
            prefix = prefix.substr(0, kl);
        }
        const std::size_t n = prefix.size();
        const std::vector<IndexEntry>& entries = tree_.entries();
        auto it =
            std::lower_bound(entries.begin(), entries.end(), prefix, [n](const IndexEntry& e, std::string_view p) {
                return std::memcmp(e.key.data(), p.data(), n) < 0;
            });
        if (it == entries.end() || std::memcmp(it->key.data(), prefix.data(), n) != 0) {
            return npos;
        }
        return static_cast<std::size_t>(it - entries.begin());
    }

    std::size_t find(std::string_view key, std::uint32_t recno) const override {
        const std::string k = fullKey(key);
        const std::size_t pos = tree_.lowerBound(k, recno);
        const std::vector<IndexEntry>& entries = tree_.entries();
        if (pos < entries.size() && entries[pos].recno == recno && entries[pos].key == k) {
            return pos;
        }
        return npos;
    }

    void insert(std::string_view record, std::uint32_t recno) override {
        requireWritable();
        refresh();
        std::string key = expr_->evaluate(record);
        const std::size_t pos = tree_.lowerBound(key, recno);
        const std::vector<IndexEntry>& entries = tree_.entries();
        if (pos < entries.size() && entries[pos].recno == recno && entries[pos].key == key) {
            return; // already there
        }
        if (head_.unique) {
            const bool sameBefore = pos > 0 && entries[pos - 1].key == key;
            const bool sameAfter = pos < entries.size() && entries[pos].key == key;
            if (sameBefore) {
                return; // a unique index keeps the first record of each key
            }
            if (sameAfter) {
                changing([&] { tree_.removeAt(pos); }); // the new record comes first now
            }
        }
        if (recno == 0) {
            throw ETableError("Record number 0 cannot be indexed in " + name_ + ".");
        }
        changing([&] {
            tree_.insertAt(pos, IndexEntry{std::move(key), recno});
            finishWrite();
        });
    }

    void remove(std::string_view key, std::uint32_t recno) override {
        requireWritable();
        refresh();
        const std::string k = fullKey(key);
        const std::size_t pos = tree_.lowerBound(k, recno);
        const std::vector<IndexEntry>& entries = tree_.entries();
        if (pos >= entries.size() || entries[pos].recno != recno || entries[pos].key != k) {
            return;
        }
        changing([&] {
            tree_.removeAt(pos);
            finishWrite();
        });
    }

    void rebuild(std::uint32_t recordCount, const RecordSource& records) override {
        requireWritable();
        changing([&] { rebuildFrom(recordCount, records); });
    }

    bool changedOnDisk() const override {
        Stamp now = io_.stat();
        now.counter = io_.readCounter(head_.kind, now.size);
        return !(now == stamp_);
    }

    void refresh() override {
        // A writer builds on what it holds: that must be the whole file as it is, with any group a
        // killed process left in the journal written into it.
        if (partial_ || changedOnDisk() || keeper_.present()) {
            load();
        }
    }

    void refreshForReading(std::uint32_t recordCount) override {
        Stamp now = io_.stat();
        unsigned char h[kNodeSize];
        if (now.size < static_cast<off_t>(2 * kNodeSize) || io_.readSome(h, kNodeSize, 0) != kNodeSize) {
            load();
            return;
        }
        now.counter = getLE32(h + counterOffset(head_.kind));
        if (now == stamp_) {
            return;
        }
        if (!followChanges(h, now, recordCount)) {
            load();
        }
    }

    bool journalToReplay() const override { return writable_ && !keeper_.fresh() && keeper_.present(); }

    void flush() override {
        if (!io_.needSync) {
            return; // every group of changes is synced before it counts as done
        }
        io_.sync();
        io_.needSync = false;
    }

private:
    // Reads again only the blocks that the groups written since the last read list in the header
    // `h` (see idx_follower.h); false when that cannot be trusted to give the file as it is, and
    // the caller reads it whole.
    bool followChanges(const unsigned char* h, const Stamp& now, std::uint32_t recordCount) {
        if (head_.unique || head_.hasFor || keeper_.hasOverlay() || stamp_.size < 0 || now.counter == stamp_.counter) {
            return false; // only a plain index holds one key per record, which checks the result
        }
        std::unordered_set<std::uint32_t> changed;
        if (!listedChanges(h, now, stamp_, head_.kind, head_.keyLength, changed)) {
            return false;
        }
        if (keeper_.present()) {
            return false; // a group was left half-written: recovering it needs a whole read
        }
        const auto size = static_cast<std::uint64_t>(now.size);
        try {
            if (getLE32(h) == tree_.nd(tree_.root()).offset && patchInPlace(tree_, changed, size, recordCount, read_)) {
                stamp_ = now;
                partial_ = true;
                return true;
            }
        } catch (const ETableError&) {
            return false;
        }
        Reuse reuse = heldFor(tree_, std::move(changed), recordCount);
        try {
            TreeRead s = parse(keeper_.logicalSize(size), &reuse);
            if (s.head.exprText != head_.exprText) {
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

    // --- reading ------------------------------------------------------------------------------

    [[noreturn]] void corrupt(const std::string& why) const { damaged(name_, why); }

    // The key expression must suit the stored key length.
    void useKeyExpression(const HeaderFields& s) {
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

    // Reads the header and then the tree (see idx_tree_reader.h); with `reuse`, blocks it does
    // not list as changed are taken from what is held instead.
    TreeRead parse(std::uint64_t size, Reuse* reuse = nullptr) {
        TreeRead s;
        if (size < kNodeSize) {
            corrupt("the file is shorter than its header");
        }
        unsigned char h[2 * kNodeSize] = {};
        keeper_.readBlock(h, static_cast<std::size_t>(std::min<std::uint64_t>(size, sizeof h)), 0);
        const std::size_t headerBytes = parseHeader(h, size, name_, s.head);
        useKeyExpression(s.head);
        const char pad = expr_->type() == KeyType::Character ? ' ' : '\0';
        readTree(read_, name_, size, headerBytes, getLE32(h), pad, reuse, writable_, s);
        return s;
    }

    void adopt(TreeRead&& s) {
        head_ = std::move(s.head);
        tree_.adopt(std::move(s.entries), std::move(s.nodes), s.root, std::move(s.freeOffsets), s.fileEnd);
        pad_ = expr_->type() == KeyType::Character ? ' ' : '\0';
        tree_.setFormat(head_.kind, head_.keyLength, pad_, name_);
    }

    // --- helpers ------------------------------------------------------------------------------

    std::string fullKey(std::string_view key) const {
        std::string k(key.substr(0, std::min(key.size(), static_cast<std::size_t>(head_.keyLength))));
        k.resize(static_cast<std::size_t>(head_.keyLength), pad_);
        return k;
    }

    void requireWritable() const {
        if (!writable_) {
            throw ETableError("Index file " + name_ + " is open read-only.");
        }
        if (head_.hasFor) {
            throw ETableError("Index file " + name_ + " has a FOR clause (" + head_.forText +
                              "), which this program cannot keep up to date.");
        }
    }

    // --- writing ------------------------------------------------------------------------------

    // Runs a change of the tree; when it fails, what is in memory is dropped and read again from
    // the file on the next refresh().
    template <typename F> void changing(F&& change) {
        try {
            change();
        } catch (...) {
            stamp_ = Stamp{};
            tree_.dirty().clear();
            tree_.links().clear();
            throw;
        }
    }

    void commit(std::vector<JournalWrite> writes, std::uint64_t newLength, bool wholeFile) {
        keeper_.commit(std::move(writes), newLength, wholeFile, stamp_.counter, head_.counter, head_.kind);
    }

    // Writes the changed nodes and the header as one group, then notes the file's new state.
    void finishWrite() {
        tree_.splitOverfull();
        std::vector<std::int32_t> ids(tree_.dirty().begin(), tree_.dirty().end());
        tree_.dirty().clear();
        std::sort(ids.begin(), ids.end(),
                  [this](std::int32_t a, std::int32_t b) { return tree_.nd(a).offset < tree_.nd(b).offset; });
        std::vector<JournalWrite> writes;
        unsigned char buf[kNodeSize];
        for (std::int32_t id : ids) {
            if (!tree_.nd(id).alive) {
                continue;
            }
            tree_.encodeNode(id, tree_.positionOf(id), buf);
            writes.push_back(
                JournalWrite{tree_.nd(id).offset, std::string(reinterpret_cast<const char*>(buf), kNodeSize)});
        }
        // Nodes whose only change is a sibling link get just their two link fields.
        for (std::int32_t id : tree_.links()) {
            const MNode& n = tree_.nd(id);
            if (!n.alive || std::find(ids.begin(), ids.end(), id) != ids.end()) {
                continue;
            }
            unsigned char link[8];
            putLE32(link, n.left >= 0 ? tree_.nd(n.left).offset : kNone);
            putLE32(link + 4, n.right >= 0 ? tree_.nd(n.right).offset : kNone);
            writes.push_back(JournalWrite{n.offset + 4, std::string(reinterpret_cast<const char*>(link), sizeof link)});
        }
        tree_.links().clear();
        ++head_.counter;
        std::vector<std::uint32_t> blocks;
        blocks.reserve(writes.size());
        for (const JournalWrite& w : writes) {
            blocks.push_back(static_cast<std::uint32_t>(w.offset / kNodeSize * kNodeSize));
        }
        noteGroup(head_.changes, head_.kind, head_.counter, std::move(blocks), listUnsound_);
        ::clock_gettime(CLOCK_REALTIME, &head_.changes.time);
        std::vector<unsigned char> h(headerSize(head_.kind));
        encodeHeader(h.data(), head_, tree_.nd(tree_.root()).offset, tree_.fileEnd());
        // The expression pool of a compact header never changes.
        writes.push_back(JournalWrite{0, std::string(reinterpret_cast<const char*>(h.data()), kNodeSize)});
        commit(std::move(writes), 0, false);
        markWritten();
    }

    // Gives the file the modification time the header names, which tells readers that no other
    // program wrote since (a file this user does not own keeps the system's time: readers then
    // read it whole), and notes the file's state as ours.
    void markWritten() {
        const timespec& time = head_.changes.time;
        const bool timed = time.tv_sec != 0 || time.tv_nsec != 0;
        if (timed) {
            const timespec times[2] = {{0, UTIME_OMIT}, time};
            ::futimens(io_.fd(), times);
        }
        stamp_ = io_.stat();
        stamp_.counter = head_.counter;
        partial_ = false;
        listUnsound_ = !timed;
    }

    void rebuildFrom(std::uint32_t recordCount, const RecordSource& records) {
        const auto kl = static_cast<std::size_t>(head_.keyLength);
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
            if (head_.unique && !entries.empty() && std::memcmp(entries.back().key.data(), k, kl) == 0) {
                continue;
            }
            entries.push_back(IndexEntry{std::string(k, kl), i + 1});
        }
        bulkWrite(std::move(entries));
    }

    // Lays the whole tree out afresh from the ordered keys and writes the file in one go.
    void bulkWrite(std::vector<IndexEntry> entries) {
        const std::vector<std::size_t> starts = tree_.layOut(std::move(entries));
        std::vector<unsigned char> image(tree_.fileEnd());
        ++head_.counter;
        head_.changes.blocks.clear();
        head_.changes.since = head_.counter; // a reader of an older tree reads the new one whole
        // No time either, so that a file built from the same records has the same bytes; the next
        // group then lists nothing before itself.
        head_.changes.time = timespec{};
        encodeHeader(image.data(), head_, tree_.nd(tree_.root()).offset, tree_.fileEnd());
        const std::vector<MNode>& nodes = tree_.nodes();
        for (std::size_t id = 0; id < nodes.size(); ++id) {
            tree_.encodeNode(static_cast<std::int32_t>(id), starts[id], image.data() + nodes[id].offset);
        }
        // The whole file is one group: another program that has it open reads the new tree at its
        // next look (a new file renamed over it would leave that program on the old one).
        std::vector<JournalWrite> writes;
        writes.push_back(JournalWrite{0, std::string(reinterpret_cast<const char*>(image.data()), image.size())});
        image.clear();
        image.shrink_to_fit();
        commit(std::move(writes), tree_.fileEnd(), true);
        markWritten();
    }

    std::filesystem::path path_;
    std::string name_;
    IdxIo io_;
    JournalKeeper keeper_;
    BlockReader read_ = [this](unsigned char* out, std::size_t len, std::uint64_t at) {
        keeper_.readBlock(out, len, at);
    };
    bool writable_ = false;
    std::vector<FieldDef> fields_;
    CodePage cp_;

    std::optional<KeyExpression> expr_;
    HeaderFields head_;
    char pad_ = ' ';
    IdxTree tree_;
    Stamp stamp_;
    bool listUnsound_ = false; // another program may have written since our last group
    bool partial_ = false;     // what is held came partly from following changes since the last whole read
};

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
    return statedHeader(h, got);
}

} // namespace arrowsel::data
