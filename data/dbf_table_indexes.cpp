// SPDX-License-Identifier: GPL-3.0-or-later
// A table's indexes: opening one (built when missing or a link, rebuilt when damaged or out of
// step with the records), creating and rebuilding them, and checking them against the records.
#include "data/dbf_table_impl.h"
#include "data/table_error.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace arrowsel::data {

// Index position of the current record in the controlling order (npos when it is not there).
void TDbfTable::Impl::locateInIndex() {
    IndexFile* ix = controlling();
    if (ix == nullptr) {
        return;
    }
    if (eof || cur == nullptr) {
        idxPos = ix->size();
        return;
    }
    idxPos = ix->find(ix->expression().evaluate(std::string_view(cur, R())), recno);
}

// The records 1..n in one buffer, for building indexes.
std::string TDbfTable::Impl::readAll(std::uint32_t n) const {
    std::string all(static_cast<std::size_t>(n) * R(), '\0');
    dbf.readExact(H(), all.data(), all.size(), "a record");
    return all;
}

RecordSource TDbfTable::Impl::sourceOf(const std::string& all, std::uint32_t n) const {
    const std::size_t r = R();
    return [&all, n, r](std::uint32_t k) -> std::string_view {
        if (k == 0 || k > n) {
            return {};
        }
        return std::string_view(all.data() + static_cast<std::size_t>(k - 1) * r, r);
    };
}

fs::path TDbfTable::Impl::indexPathFor(const fs::path& indexName) const {
    fs::path p = indexName;
    if (!p.has_parent_path()) {
        p = path.parent_path() / p;
    }
    if (!p.has_extension()) {
        p += ".IDX";
    }
    return p;
}

// Only plain indexes hold exactly one key per record; no index may name a record past the end.
bool TDbfTable::Impl::indexAgrees(const IndexFile& ix) const {
    if (!ix.unique() && ix.size() != count) {
        return false;
    }
    for (std::size_t i = 0; i < ix.size(); ++i) {
        if (ix.at(i).recno > count) {
            return false;
        }
    }
    return true;
}

// Builds an index that is missing, or a link (which the new file replaces, leaving what it
// points at as it was), from the records on the program's own expression; the caller holds the
// header lock for writing.
std::unique_ptr<IndexFile> TDbfTable::Impl::buildInPlace(const fs::path& file, std::string_view ownExpression,
                                                         bool wasLink) {
    std::string target;
    if (wasLink) {
        std::error_code ec;
        target = fs::read_symlink(file, ec).string();
    }
    const std::string all = readAll(count);
    std::unique_ptr<IndexFile> ix = IndexFile::create(file, IndexKind::Compact, ownExpression, hdr.fields, cp, count,
                                                      sourceOf(all, count), false, settings.probe);
    ix->flush();
    raiseChangeMark();
    if (wasLink) {
        notices.push_back("The index file " + file.string() + " was a symbolic link (to " + target +
                          "); the program writes no index through a link, so a new " + file.filename().string() +
                          " has been built from the table " + name + " in its place. " + target +
                          " was not changed, and no record was lost.");
    } else {
        notices.push_back("The index file " + file.string() + " was missing; it has been built from the table " + name +
                          ". No record was lost.");
    }
    return ix;
}

// One sentence per kind of fault of `ix` against the records `all` (1..n).
std::vector<std::string> TDbfTable::Impl::faultsOf(const IndexFile& ix, const std::string& all, std::uint32_t n) const {
    const std::string index = ix.path().filename().string();
    const std::string table = path.filename().string();
    std::vector<std::string> faults;
    if (!ix.unique() && ix.size() != n) {
        faults.push_back(index + " holds " + std::to_string(ix.size()) + " keys for the " + std::to_string(n) +
                         " records of " + table);
    }
    std::size_t past = 0;
    std::size_t wrong = 0;
    std::string firstPast;
    std::string firstWrong;
    std::string key(static_cast<std::size_t>(ix.expression().keyLength()), ' ');
    for (std::size_t i = 0; i < ix.size(); ++i) {
        const IndexEntry& e = ix.at(i);
        if (e.recno == 0 || e.recno > n) {
            if (past++ == 0) {
                firstPast = std::to_string(e.recno);
            }
            continue;
        }
        const std::string_view record(all.data() + static_cast<std::size_t>(e.recno - 1) * R(), R());
        key.resize(static_cast<std::size_t>(ix.expression().keyLength()));
        ix.expression().evaluateTo(record, key.data());
        if (key != e.key && wrong++ == 0) {
            firstWrong = "record " + std::to_string(e.recno) + " holds " + keyText(ix, key) + " where " + index +
                         " says " + keyText(ix, e.key);
        }
    }
    const auto more = [](std::size_t c) { return c > 1 ? " (and " + std::to_string(c - 1) + " more)" : std::string(); };
    if (past > 0) {
        faults.push_back(index + " names record " + firstPast + more(past) + ", past the " + std::to_string(n) +
                         " records of " + table);
    }
    if (wrong > 0) {
        faults.push_back(index + " does not match " + table + ": " + firstWrong + more(wrong));
    }
    return faults;
}

std::uint32_t TDbfTable::Impl::liveIn(const std::string& all, std::uint32_t n, std::size_t r) {
    std::uint32_t live = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        live += all[static_cast<std::size_t>(i) * r] != '*' ? 1 : 0;
    }
    return live;
}

// Builds a damaged index again from the records, on the expression its header names or, when
// the header itself is damaged, on the program's own; the caller holds the header lock.
std::unique_ptr<IndexFile> TDbfTable::Impl::rebuildDamaged(const fs::path& file, std::string_view ownExpression,
                                                           const EIndexDamaged& damage) {
    IndexHeader how;
    if (std::optional<IndexHeader> stated = IndexFile::readHeader(file)) {
        how = *stated;
    } else if (!ownExpression.empty()) {
        how.expression = std::string(ownExpression);
    } else {
        throw damage;
    }
    const std::string all = readAll(count);
    std::unique_ptr<IndexFile> ix;
    try {
        ix = IndexFile::create(file, how.kind, how.expression, hdr.fields, cp, count, sourceOf(all, count), how.unique,
                               settings.probe);
    } catch (const ETableError& e) {
        if (ownExpression.empty() || how.expression == ownExpression) {
            throw ETableError(std::string(damage.what()) + " It could not be rebuilt: " + e.what());
        }
        // The header's expression does not suit this table: use the program's own.
        ix = IndexFile::create(file, IndexKind::Compact, ownExpression, hdr.fields, cp, count, sourceOf(all, count),
                               false, settings.probe);
    }
    notices.push_back("The index file " + file.string() + " was damaged (" + damage.reason() +
                      ") and has been rebuilt from the table " + name + ". No record was lost.");
    return ix;
}

// ---- indexes ----------------------------------------------------------------------------------

void TDbfTable::openIndexFile(const fs::path& name, std::string_view ownExpression) {
    Impl& d = *impl_;
    d.requireOpen();
    d.autoPost(*this);
    const fs::path wanted = d.indexPathFor(name);
    const std::optional<fs::path> found = findFileNoCase(wanted);
    std::error_code ec;
    fs::path file = fs::absolute(found.value_or(wanted), ec);
    if (ec) {
        file = found.value_or(wanted);
    }
    // A writable table builds what is missing, and what is a link, on its own expression.
    const bool canBuild = d.writable && !ownExpression.empty();
    if (!found && !canBuild) {
        throw ETableError("Index file does not exist.\rFile: " + file.string());
    }
    struct stat st {};
    const bool link = found && ::lstat(file.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    if (found && !link && !S_ISREG(st.st_mode)) {
        // A named pipe would block the open for ever.
        throw ETableError("Cannot open index file " + found->string() +
                          ": not a regular file (a folder, a pipe or a device).");
    }
    for (std::size_t i = 0; i < d.indexes.size(); ++i) {
        if (d.indexes[i]->path() == file) { // already open: it becomes the controlling order
            std::rotate(d.indexes.begin() + static_cast<std::ptrdiff_t>(i),
                        d.indexes.begin() + static_cast<std::ptrdiff_t>(i) + 1, d.indexes.end());
            d.locateInIndex();
            return;
        }
    }
    if (d.writable && found && !link && ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0 &&
        (errno == EACCES || errno == EROFS || errno == EPERM)) {
        // An index that cannot be written leaves the table readable, not the book closed.
        d.readOnlyBecause("its index file " + file.string() + " " + Impl::unwritable(errno));
    }
    std::unique_ptr<IndexFile> ix;
    {
        ByteLock lock(d.dbf, dbf::kHeaderLock, d.writable ? File::LockType::Write : File::LockType::Read);
        d.refreshCount();
        if (d.writable && (!found || link)) {
            // Looked at again under the lock: another counter may have built it meanwhile.
            const bool there = ::lstat(file.c_str(), &st) == 0;
            if (!there || S_ISLNK(st.st_mode)) {
                if (ownExpression.empty()) {
                    throw ETableError("Cannot open index file " + file.string() + ": " + errorText(ELOOP) + ".");
                }
                ix = d.buildInPlace(file, ownExpression, there);
            }
        }
        if (!ix) {
            try {
                ix = IndexFile::open(file, d.writable, d.hdr.fields, d.cp, d.settings.probe);
            } catch (const EIndexDamaged& e) {
                if (!d.writable) {
                    throw;
                }
                // The table is the truth: build the index again from it.
                ix = d.rebuildDamaged(file, ownExpression, e);
                d.raiseChangeMark();
            }
        }
        // A process killed between appending a record and updating the index leaves an index
        // short of records, and one killed while taking a failed append back may leave a key of a
        // record that is gone: rebuild it.
        if (d.writable && !d.indexAgrees(*ix)) {
            const std::string all = d.readAll(d.count);
            ix->rebuild(d.count, d.sourceOf(all, d.count));
            ix->flush();
            d.raiseChangeMark();
        }
    }
    d.indexes.push_back(std::move(ix));
    d.locateInIndex();
}

void TDbfTable::createIndex(const fs::path& name, std::string_view expression, IndexKind kind) {
    Impl& d = *impl_;
    d.requireWritable();
    d.autoPost(*this);
    fs::path target = d.indexPathFor(name);
    if (const std::optional<fs::path> existing = findFileNoCase(target)) {
        target = *existing;
    }
    std::error_code ec;
    const fs::path actual = fs::absolute(target, ec);
    if (!ec) {
        target = actual;
    }
    d.indexes.erase(std::remove_if(d.indexes.begin(), d.indexes.end(),
                                   [&](const std::unique_ptr<IndexFile>& ix) { return ix->path() == target; }),
                    d.indexes.end());
    std::unique_ptr<IndexFile> ix;
    {
        ByteLock lock(d.dbf, dbf::kHeaderLock, File::LockType::Write);
        d.refreshCount();
        const std::string all = d.readAll(d.count);
        ix = IndexFile::create(target, kind, expression, d.hdr.fields, d.cp, d.count, d.sourceOf(all, d.count), false,
                               d.settings.probe);
        ix->flush();
        d.raiseChangeMark();
    }
    d.indexes.push_back(std::move(ix));
    d.locateInIndex();
}

std::vector<std::string> TDbfTable::takeNotices() {
    std::vector<std::string> out;
    out.swap(impl_->notices);
    for (const auto& ix : impl_->indexes) {
        for (std::string& n : ix->takeNotices()) {
            out.push_back(std::move(n));
        }
    }
    return out;
}

void TDbfTable::closeIndexes() {
    Impl& d = *impl_;
    d.autoPost(*this);
    d.indexes.clear();
    d.idxPos = IndexFile::npos;
}

bool TDbfTable::hasControllingIndex() const {
    return impl_->controlling() != nullptr;
}

void TDbfTable::reindex() {
    Impl& d = *impl_;
    d.requireOpen();
    if (d.indexes.empty()) {
        return;
    }
    d.requireWritable();
    d.autoPost(*this);
    {
        ByteLock lock(d.dbf, dbf::kHeaderLock, File::LockType::Write);
        d.refreshCount();
        const std::string all = d.readAll(d.count);
        const RecordSource source = d.sourceOf(all, d.count);
        for (const auto& ix : d.indexes) {
            ix->refresh();
            ix->rebuild(d.count, source);
            ix->flush();
        }
        d.raiseChangeMark();
    }
    d.locateInIndex();
}

// ---- checking ---------------------------------------------------------------------------------

std::vector<std::string> TDbfTable::indexFaults() const {
    Impl& d = *impl_;
    d.requireOpen();
    IndexFile* ix = d.controlling();
    if (ix == nullptr) {
        return {};
    }
    std::string all;
    {
        ByteLock lock;
        d.lockForReading(lock);
        d.refreshCount();
        if (d.shared() && !d.snapshot()) {
            ix->refresh();
        }
        all = d.readAll(d.count);
    }
    return d.faultsOf(*ix, all, d.count);
}

std::uint32_t TDbfTable::liveRecordCount() {
    Impl& d = *impl_;
    d.requireOpen();
    std::string all;
    bool stale = false;
    {
        ByteLock lock;
        d.lockForReading(lock);
        d.refreshCount();
        all = d.readAll(d.count);
        if (d.writable) {
            for (const auto& ix : d.indexes) {
                ix->refresh();
                stale = stale || !d.faultsOf(*ix, all, d.count).empty();
            }
        }
    }
    if (stale) {
        // Another program changed records and left the index as it was (a customer renamed in
        // place keeps the count): the index is built again from the table, under the exclusive
        // lock, after a second look there.
        ByteLock lock(d.dbf, dbf::kHeaderLock, File::LockType::Write);
        d.refreshCount();
        all = d.readAll(d.count);
        bool rebuilt = false;
        for (const auto& ix : d.indexes) {
            ix->refresh();
            const std::vector<std::string> faults = d.faultsOf(*ix, all, d.count);
            if (faults.empty()) {
                continue;
            }
            ix->rebuild(d.count, d.sourceOf(all, d.count));
            ix->flush();
            rebuilt = true;
            d.notices.push_back("The index file " + ix->path().string() + " did not match the table " + d.name + " (" +
                                faults.front() + "); it has been rebuilt from the table. No record was lost.");
        }
        if (rebuilt) {
            d.raiseChangeMark();
        }
        d.invalidateWindow();
        if (d.state == Impl::State::Browse && !d.eof && d.recno >= 1 && d.recno <= d.count) {
            d.cur = d.recordPtr(d.recno, Direction::Single);
        }
        d.locateInIndex();
    }
    return Impl::liveIn(all, d.count, d.R());
}

} // namespace arrowsel::data
