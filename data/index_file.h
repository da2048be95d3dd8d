// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/io_probe.h"
#include "data/key_expression.h"
#include "data/table_error.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace arrowsel::data {

// Single-order index files (.idx) in both of FoxPro's kinds.
//
// Layout (every pointer a byte offset into the file, -1 = none; header integers little-endian,
// record numbers and child pointers inside entries big-endian):
//  - non-compact: a 512-byte header (root, free list, end of file, key length, options, key
//    expression at 16, FOR expression at 236), then 512-byte nodes: attributes (1 root, 2 leaf),
//    key count, left and right siblings, then key + 4-byte number entries; interior entries carry
//    the highest key of the child and the child's offset.
//  - compact: a 1024-byte header (options byte 14 has 0x20; expression pool at 512), interior nodes
//    of key + record number + child offset entries, and leaves whose entries pack the record
//    number, the count of bytes shared with the previous key and the count of trailing pad bytes
//    into a few bytes at the front, with the remaining key bytes stored from the back of the node.
//
// This engine's own choices: a change counter at bytes 8-11 of a compact header and 508-511 of a
// non-compact one, raised by every change; beside it, in reserved header bytes, the list of blocks
// the latest groups of changes wrote and the modification time the last group gave the file
// (set explicitly, so that a write by another program, which leaves the list as it was, shows as
// another time); no free list in the file (free-list offset -1), every
// block outside the tree counts as free and is used again; compact leaves take R, D and T from
// their highest record number and the key length (any key length 1-100, record numbers to
// 2^32-1), and a duplicate count never reaches into the previous key's trailing blanks.
//
// Reading: the header, then the nodes the tree reaches from its root, one by one (never the whole
// file: its size says nothing about how much of it is in use). The ordered keys are kept in memory
// once read; changes made by another process to the file are picked up by refresh().
//
// Writing: every change (insert(), remove(), a rebuild, create()) is one group of writes made
// crash-safe by a journal, the side file "<index file name>.jnl" beside the index (Saved.idx has
// Saved.idx.jnl), which exists only while a change is being written. The group's node images and
// header go to the journal, which is synced (and its folder); then into the index, which is synced;
// then the journal is removed. A group that rewrites one node where it lies and, in the header,
// only the change counter, the list of changed blocks and the time (most saves: a key added to or
// taken from one leaf) goes without a journal: the node's write is all or nothing, and a kill
// before the header's leaves the new tree, which readers read whole as another program's change.
// Opening or re-reading the index finds a journal left by a process killed in between: a writable handle writes the
// group into the index, a read-only one reads the index as the group leaves it. A journal is used only for the file it
// was made for (same inode; a group of nodes also only while the header's change counter is the one before or after
// it). Other xBase programs do not know the journal: they read a consistent index whenever no writer of ours was killed
// in the middle of a change; after such a kill they may find the index damaged until this program has opened it once. A
// journal never needs a backup. Every change is durable when the call returns. Writers must hold the table's header
// lock; files are validated on every read, and a damaged one gives EIndexDamaged.
//
// The folder is not trusted. The journal is created with O_EXCL, never through a link, relative
// to a descriptor of the index's folder, and only a regular file at its name is read, only as far
// as its own header says. Anything else there (a link, a pipe, a folder, bytes that are no
// journal) is set aside by a writable handle as "<journal>.not-a-journal" and left alone by a
// read-only one; takeNotices() says which. A writable open never follows a link to the index
// itself; create() writes a new file under a temporary name and names it once it is whole, and a
// link in its place is replaced, what it points at left untouched.
enum class IndexKind { Compact, NonCompact };

// An index file whose contents do not parse; what() names the file, reason() says what is wrong.
class EIndexDamaged : public ETableError {
public:
    EIndexDamaged(const std::string& message, std::string reason) : ETableError(message), reason_(std::move(reason)) {}
    const std::string& reason() const { return reason_; }

private:
    std::string reason_;
};

// What the header of an index file says, enough to build the file again.
struct IndexHeader {
    IndexKind kind = IndexKind::Compact;
    std::string expression;
    bool unique = false;
};

struct IndexEntry {
    std::string key; // keyLength() bytes
    std::uint32_t recno = 0;
};

// Gives the bytes of record `recno` (1-based), deletion flag first.
using RecordSource = std::function<std::string_view(std::uint32_t recno)>;

class IndexFile {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // Opens an existing regular file (never waiting on a pipe; for writing, never through a link),
    // reads its header and keys; the key expression is compiled against the table's fields.
    // Throws ETableError on a missing file, EIndexDamaged on a truncated or corrupt one.
    // `probe` watches its input and output (see IoProbe).
    static std::unique_ptr<IndexFile> open(const std::filesystem::path& path, bool writable,
                                           std::span<const FieldDef> fields, CodePage cp, IoProbe* probe = nullptr);

    // Creates an index file of the given kind over the records 1..recordCount: an existing regular
    // file is overwritten as one crash-safe group; otherwise a new file is made whole and named
    // (replacing a link of that name).
    static std::unique_ptr<IndexFile> create(const std::filesystem::path& path, IndexKind kind,
                                             std::string_view expression, std::span<const FieldDef> fields, CodePage cp,
                                             std::uint32_t recordCount, const RecordSource& records,
                                             bool unique = false, IoProbe* probe = nullptr);

    // The kind, key expression and uniqueness a file's header states; nullopt when the header is
    // unreadable, or names a FOR clause or a compound index. The tree is not looked at.
    static std::optional<IndexHeader> readHeader(const std::filesystem::path& path);

    virtual ~IndexFile() = default;

    virtual const std::filesystem::path& path() const = 0;
    virtual IndexKind kind() const = 0;
    virtual const KeyExpression& expression() const = 0;
    virtual bool unique() const = 0;

    // Keys in index order: ascending bytes, equal keys in ascending record number.
    virtual std::size_t size() const = 0;
    virtual const IndexEntry& at(std::size_t pos) const = 0;

    // The first position whose key begins with `prefix` (compared over the prefix's length), or
    // npos when no key does.
    virtual std::size_t findPrefix(std::string_view prefix) const = 0;
    // The position of the entry for (key, recno), or npos.
    virtual std::size_t find(std::string_view key, std::uint32_t recno) const = 0;

    // Adds the key of a new or changed record (remove the old key first for a changed one).
    virtual void insert(std::string_view record, std::uint32_t recno) = 0;
    virtual void remove(std::string_view key, std::uint32_t recno) = 0;

    // Rebuilds the whole file over records 1..recordCount, keeping its kind.
    virtual void rebuild(std::uint32_t recordCount, const RecordSource& records) = 0;

    // Re-reads the file when another process has changed it since it was last read or written.
    virtual void refresh() = 0;
    // The same for a reader holding the table's header lock, which has just read the table's
    // record count: a plain index then reads again only the blocks our writers list as changed
    // since (when no other program wrote since, and the list reaches back far enough), and checks
    // that it holds one key per record; otherwise it reads the file whole. refresh() reads whole
    // whatever was taken this way, so a writer never builds on it.
    virtual void refreshForReading(std::uint32_t recordCount) {
        (void)recordCount;
        refresh();
    }
    // True when a writable handle finds beside the file a journal that its next read would deal
    // with, writing the group a killed writer left into the file (or setting aside what is no
    // journal): one look at the journal's name. The caller takes the table's header lock for
    // writing before that read, so that no other counter reads or replays the index meanwhile.
    virtual bool journalToReplay() const { return false; }
    // Cheap check, reading no nodes: false only when the file is certainly as last read or
    // written (its size and times, and our change counter). The default always says "maybe
    // changed".
    virtual bool changedOnDisk() const { return true; }
    // Makes every write durable (fdatasync).
    virtual void flush() = 0;
    // What was found beside the file and done about it (a junk journal set aside), one sentence
    // each for the user; the list is emptied.
    virtual std::vector<std::string> takeNotices() { return {}; }
};

} // namespace arrowsel::data
