// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer harness for index journals: the input is first put at a small valid index's journal
// name as it is (the index is opened read-only and writable beside it, as every open looks at
// that name); then decoded as a journal, as it is and with its last 8 bytes made the right
// checksum (so that mutations reach past the checksum); one that decodes must encode back to the
// same bytes. It is then set beside a small valid index as the journal of that
// file and the index is opened read-only (read through the journal) and writable (the journal
// written into it); every key is walked. Damaged input may only end in ETableError.

#include "data/idx_journal.h"
#include "data/index_file.h"
#include "data/table_error.h"
#include "fuzz/table_fuzz.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace arrowsel::data;

namespace {

const std::vector<FieldDef> kFields{{"NAME", FieldType::Character, 10, 0, 1}};

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

std::string recordOf(int i) {
    std::string name = "K" + std::to_string(i * 37 % 1000);
    name.resize(10, ' ');
    return " " + name;
}

// A fresh two-level index of 120 keys (compact or not, by the input's first byte).
std::filesystem::path freshIndex(bool compact) {
    static std::vector<std::string> records = [] {
        std::vector<std::string> r;
        for (int i = 0; i < 120; ++i) {
            r.push_back(recordOf(i));
        }
        return r;
    }();
    const auto path = arrowsel::fuzz::workFolder() / "j.idx";
    std::error_code ec;
    std::filesystem::remove(idx::journalPath(path), ec);
    std::filesystem::remove(path, ec);
    IndexFile::create(path, compact ? IndexKind::Compact : IndexKind::NonCompact, "NAME", kFields,
                      CodePage::Windows1252, static_cast<std::uint32_t>(records.size()),
                      [](std::uint32_t n) { return std::string_view(records.at(n - 1)); });
    return path;
}

// The input with its checksum put right.
std::string withChecksum(std::string_view input) {
    std::string out(input.substr(0, input.size() - 8));
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (const char c : out) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ull;
    }
    for (int i = 0; i < 8; ++i) {
        out += static_cast<char>(h >> (8 * i));
    }
    return out;
}

void walk(const IndexFile& ix) {
    for (std::size_t i = 0; i < ix.size(); ++i) {
        check(ix.at(i).key.size() == 10);
    }
    (void)ix.findPrefix("K5");
}

// Opens the index read-only and writable with `bytes` as they are at its journal's name: whatever
// they are (torn, spent, another file's, no journal at all) the file reads or fails cleanly, and
// the writable open leaves nothing at that name.
void openBeside(std::string_view bytes, bool compact) {
    const auto path = freshIndex(compact);
    arrowsel::fuzz::writeBytes(idx::journalPath(path), bytes.data(), bytes.size());
    try {
        walk(*IndexFile::open(path, false, kFields, CodePage::Windows1252));
    } catch (const ETableError&) {
    }
    try {
        auto ix = IndexFile::open(path, true, kFields, CodePage::Windows1252);
        walk(*ix);
        struct stat left {};
        check(::lstat(idx::journalPath(path).c_str(), &left) != 0);
    } catch (const ETableError&) {
    }
    std::error_code ec;
    std::filesystem::remove(idx::journalPath(path).string() + ".not-a-journal", ec);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    openBeside(input, size % 2 == 0);
    std::optional<idx::Journal> j = idx::decodeJournal(input);
    std::string fixed;
    if (!j && size >= 8) {
        fixed = withChecksum(input);
        input = fixed;
        j = idx::decodeJournal(input);
    }
    if (!j) {
        return 0;
    }
    const std::string again = idx::encodeJournal(*j);
    check(input.substr(0, again.size()) == again);

    const auto path = freshIndex(size % 2 == 0);
    struct stat sb {};
    check(::stat(path.c_str(), &sb) == 0);
    j->fileId = sb.st_ino;
    if ((j->flags & idx::Journal::kWholeFile) == 0) {
        j->counterBefore = 1; // what a fresh file's header holds
    }
    const std::string bytes = idx::encodeJournal(*j);
    arrowsel::fuzz::writeBytes(idx::journalPath(path), bytes.data(), bytes.size());
    try {
        walk(*IndexFile::open(path, false, kFields, CodePage::Windows1252));
    } catch (const ETableError&) {
    }
    try {
        walk(*IndexFile::open(path, true, kFields, CodePage::Windows1252));
        // Written into the file: a second read needs no journal and finds the same keys.
        walk(*IndexFile::open(path, false, kFields, CodePage::Windows1252));
    } catch (const ETableError&) {
    }
    return 0;
}
