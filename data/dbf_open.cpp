// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a table: its files found without regard to letter case, the shared open that goes on
// read-only when a file cannot be written, its memo file, and the record count repaired.
#include "data/dbf_header.h"
#include "data/dbf_table_impl.h"
#include "data/memo_file.h"
#include "data/table_error.h"

#include <algorithm>
#include <cerrno>

namespace arrowsel::data {

namespace {

bool hasLowerCase(const std::string& s) {
    return std::any_of(s.begin(), s.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

} // namespace

// The memo file beside a table: same base name, the given extension in the table extension's case.
fs::path TDbfTable::Impl::memoPathFor(const fs::path& table, const char* extUpper) {
    std::string ext = extUpper;
    if (hasLowerCase(table.extension().string())) {
        for (char& c : ext) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
    }
    fs::path p = table;
    p.replace_extension(ext);
    return p;
}

// Why a file that opens for reading does not open for writing, as the rest of a sentence.
std::string TDbfTable::Impl::unwritable(int err) {
    if (err == ELOOP) {
        return "is a symbolic link, and the program writes no file through a link";
    }
    return "cannot be written (" + errorText(err) + ")";
}

// The memo file beside the table, of the kind its version says (or the other kind, when only
// that is there); a shared open that cannot write it goes on read-only.
void TDbfTable::Impl::openMemo(OpenMode openMode) {
    if (hdr.memoKind == dbf::MemoKind::None) {
        return;
    }
    const bool dbt = hdr.memoKind == dbf::MemoKind::Dbt;
    std::optional<fs::path> memoPath = findFileNoCase(memoPathFor(path, dbt ? ".DBT" : ".FPT"));
    MemoFile::Kind kind = dbt ? MemoFile::Kind::Dbt : MemoFile::Kind::Fpt;
    if (!memoPath) {
        memoPath = findFileNoCase(memoPathFor(path, dbt ? ".FPT" : ".DBT"));
        kind = dbt ? MemoFile::Kind::Fpt : MemoFile::Kind::Dbt;
    }
    if (!memoPath) {
        throw ETableError("The memo file " + memoPathFor(path, dbt ? ".DBT" : ".FPT").string() + " of table " + name +
                          " does not exist.");
    }
    if (writable && openMode == OpenMode::Shared) {
        File probe;
        if (const int memoErr = probe.open(*memoPath, File::Access::ReadWrite);
            memoErr == EACCES || memoErr == EROFS || memoErr == EPERM || memoErr == ELOOP) {
            readOnlyBecause("its memo file " + memoPath->string() + " " + unwritable(memoErr));
        }
    }
    memo = std::make_unique<MemoFile>(*memoPath, kind, writable, settings.probe);
}

// A shared open goes on read-only when one of the table's files cannot be written, and says so.
void TDbfTable::Impl::readOnlyBecause(std::string why) {
    writable = false;
    notices.push_back("The table " + name + " is opened read-only: " + why +
                      ". Its records can be read, but nothing can be saved in it until that is put right.");
    readOnlyWhy = std::move(why);
}

std::uint32_t TDbfTable::Impl::headerCount() const {
    unsigned char b[4];
    dbf.readExact(4, b, sizeof b, "its header");
    return readLe32(b);
}

std::uint64_t TDbfTable::Impl::wholeBySize() const {
    const std::uint64_t size = dbf.size();
    if (size < H()) {
        return 0;
    }
    return std::min<std::uint64_t>((size - H()) / R(), 0xFFFFFFFEu);
}

// Whole records past `from` whose deletion flag is a real one (blank or '*'): records a
// process wrote before it could update the header count.
std::uint64_t TDbfTable::Impl::liveExtent(std::uint64_t from, std::uint64_t whole) const {
    std::vector<char> chunk;
    std::uint64_t n = from;
    while (n < whole) {
        const std::uint64_t k = std::min<std::uint64_t>(whole - n, std::max<std::uint64_t>(1, (1u << 20) / R()));
        chunk.resize(static_cast<std::size_t>(k * R()));
        const std::size_t got = dbf.readAt(H() + n * R(), chunk.data(), chunk.size()) / R();
        for (std::size_t i = 0; i < got; ++i) {
            const char flag = chunk[i * R()];
            if (flag != ' ' && flag != '*') {
                return n + i;
            }
        }
        if (got < k) {
            return n + got;
        }
        n += k;
    }
    return whole;
}

std::uint32_t TDbfTable::Impl::countFromFile(std::uint32_t hc) const {
    std::uint64_t whole = wholeBySize();
    if (hc < whole) {
        whole = liveExtent(hc, whole);
    }
    return static_cast<std::uint32_t>(whole);
}

// What is wrong with the file's length, or empty when it holds the header, at least the
// records the header counts (more when a process was killed while appending) and then at most
// an end mark (0x1A, perhaps padded with NUL or more 0x1A bytes). A header that lies about
// its lengths leaves a ragged end or too few records: reading by it would shift every record
// and writing would overwrite one.
std::string TDbfTable::Impl::lengthFault(std::uint32_t hc) const {
    const std::uint64_t size = dbf.size();
    const std::uint64_t whole = size < H() ? 0 : (size - H()) / R();
    if (hc > whole) {
        return "its header counts " + std::to_string(hc) + " records, but the file holds only " + std::to_string(whole);
    }
    std::uint64_t at = H() + static_cast<std::uint64_t>(countFromFile(hc)) * R();
    bool first = true;
    std::vector<char> chunk(4096);
    while (at < size) {
        const std::size_t got = dbf.readAt(at, chunk.data(), chunk.size());
        for (std::size_t i = 0; i < got; ++i) {
            const char c = chunk[i];
            if (first ? c != '\x1A' : c != '\x1A' && c != '\0') {
                return "its length (" + std::to_string(size) + " bytes) is not its header (" + std::to_string(H()) +
                       " bytes) and whole records of " + std::to_string(R()) + " bytes";
            }
            first = false;
        }
        if (got == 0) {
            break;
        }
        at += got;
    }
    return {};
}

// The caller holds the header lock: no process of this engine is half-way through an append.
void TDbfTable::Impl::checkLength() {
    const std::string fault = lengthFault(headerCount());
    if (!fault.empty()) {
        fail("is damaged: " + fault + ". It is left untouched; restore it from a backup copy.");
    }
}

// Makes the header count agree with the records present (on disk when writable). Looked at
// under the header lock: a record another counter is still posting may yet be taken back, and
// a count taken meanwhile would show it to an export or a count.
void TDbfTable::Impl::repairCount() {
    ByteLock lock(dbf, dbf::kHeaderLock, File::LockType::Read);
    checkLength();
    std::uint32_t hc = headerCount();
    std::uint32_t actual = countFromFile(hc);
    if (actual != hc && writable) {
        lock.take(dbf, dbf::kHeaderLock, File::LockType::Write);
        hc = headerCount();
        actual = countFromFile(hc);
        if (actual != hc) {
            unsigned char b[4];
            writeLe32(b, actual);
            dbf.writeAt(4, b, sizeof b);
            dbf.sync();
        }
    } else if (actual != hc) {
        countBySize = true;
    }
    count = actual;
    knownWhole = wholeBySize();
}

// ---- opening and closing ----------------------------------------------------------------------

void TDbfTable::open(const fs::path& pathIn, OpenMode mode) {
    Impl& d = *impl_;
    if (d.open) {
        return;
    }
    fs::path p = pathIn;
    if (!p.has_extension()) {
        p += ".DBF";
    }
    const std::string shown = p.string();
    const std::string missing = "Table does not exist.\rFile or directory does not exist.\rFile: " + shown;
    const std::string unable = "Unable to open table.\rFile: " + shown;
    const std::optional<fs::path> found = findFileNoCase(p);
    if (!found) {
        std::error_code listError;
        [[maybe_unused]] const fs::directory_iterator probe(p.has_parent_path() ? p.parent_path() : fs::path("."),
                                                            listError);
        if (listError == std::errc::permission_denied) {
            throw ETableError(unable + "\rThe folder cannot be read: permission denied.");
        }
        throw ETableError(missing);
    }
    std::error_code ec;
    fs::path actual = fs::absolute(*found, ec);
    if (ec) {
        actual = *found;
    }

    File file;
    file.setProbe(impl_->settings.probe);
    int err = file.open(actual, mode == OpenMode::ReadOnly ? File::Access::ReadOnly : File::Access::ReadWrite);
    std::string readOnlyWhy;
    if ((err == EACCES || err == EROFS || err == EPERM || err == ELOOP) && mode == OpenMode::Shared) {
        // A file this process may not write, or a link (never written through), is read.
        readOnlyWhy = "it " + Impl::unwritable(err);
        err = file.open(actual, File::Access::ReadOnly);
    }
    if (err == ENOENT) {
        throw ETableError(missing);
    }
    if (err == File::kNotRegularFile) {
        throw ETableError(unable + "\rIt is not a regular file (a folder, a pipe or a device).");
    }
    if (err != 0) {
        throw ETableError(unable);
    }
    if (!file.tryLock(dbf::kOpenLock, mode == OpenMode::Exclusive ? File::LockType::Write : File::LockType::Read)) {
        throw ETableError(unable);
    }

    Impl fresh;
    fresh.settings = impl_->settings;
    fresh.mode = mode;
    fresh.writable = file.writable() && mode != OpenMode::ReadOnly;
    fresh.path = actual;
    fresh.name = actual.string();
    if (!readOnlyWhy.empty() && file.isOpen()) {
        fresh.readOnlyBecause(readOnlyWhy);
    }
    fresh.dbf = std::move(file);
    const std::uint64_t size = fresh.dbf.size();
    std::string head(32, '\0');
    head.resize(fresh.dbf.readAt(0, head.data(), head.size()));
    const std::uint32_t headerLength = headerLengthOf(head, size, fresh.name);
    head.resize(headerLength);
    fresh.dbf.readExact(0, head.data(), head.size(), "its header");
    fresh.hdr = parseDbfHeader(head, size, fresh.name);
    fresh.cp = codePageFromMark(fresh.hdr.codePageMark);
    fresh.cache.setRecordLength(fresh.R());
    fresh.indexFieldNames();

    fresh.openMemo(mode);
    fresh.repairCount();
    fresh.open = true;
    d = std::move(fresh);
    first();
}

void TDbfTable::close() {
    Impl& d = *impl_;
    if (!d.open) {
        return;
    }
    d.state = Impl::State::Browse; // pending changes are dropped
    d.releaseRecordLock();
    d.indexes.clear();
    d.memo.reset();
    d.dbf.close();
    const Settings settings = d.settings;
    *impl_ = Impl();
    impl_->settings = settings;
}

} // namespace arrowsel::data
