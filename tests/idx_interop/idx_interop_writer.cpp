// SPDX-License-Identifier: GPL-3.0-or-later
// Writes .idx files of both kinds over a generated record list, with the listing that an
// independent reader must print for each: "key recno" per line in index order, character keys
// without trailing blanks, numeric and date keys as numbers (%.15g; dates as Julian days).
// The expected order comes from a sort of its own here (by value, then record number), not from
// the index code. A name index is also written by a process killed in the middle of adding a key,
// then opened once for writing, which completes the change from the index's journal. A name index
// is also grown by saves to a table, one record at a time in random name order, each key put in
// by the post alone; a copy of it rebuilt from the table must read the same.
// Usage: idx_interop_writer OUTDIR

#include "data/dbf_table.h"
#include "data/index_file.h"
#include "data/table_error.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace arrowsel::data;

namespace {

const std::vector<FieldDef> kFields{
    {"NAME", FieldType::Character, 12, 0, 1},
    {"QTY", FieldType::Numeric, 9, 2, 13},
    {"BORN", FieldType::Date, 8, 0, 22},
};
constexpr std::size_t kRecordLength = 30;

long long julianDay(int y, int m, int d) {
    const int a = (14 - m) / 12;
    const long long yy = y + 4800 - a;
    const long long mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

struct Rec {
    std::string bytes;
    std::string name; // without trailing blanks
    double qty = 0;
    double born = 0; // Julian day, 0 = empty
};

std::vector<Rec> makeRecords(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    const char* words[] = {"Smith", "smith", "ZULU", "abc", "Abc", "O'Neil", "Zz", "aa", "a b", "   "};
    std::vector<Rec> out;
    for (std::size_t i = 0; i < n; ++i) {
        Rec r;
        std::string name;
        switch (rng() % 4) {
        case 0:
            name = words[rng() % 10];
            break;
        case 1:
            name = std::string(words[rng() % 9]) + std::to_string(rng() % 500);
            break;
        default:
            name = "K" + std::to_string(rng() % 3000);
            break;
        }
        name.resize(std::min<std::size_t>(name.size(), 12));
        while (!name.empty() && name.back() == ' ') {
            name.pop_back();
        }
        r.name = name;
        const long cents = static_cast<long>(rng() % 4000000) - 2000000;
        r.qty = (rng() % 10 == 0) ? 0 : static_cast<double>(cents) / 100.0;
        char qty[16];
        std::snprintf(qty, sizeof qty, "%9.2f", r.qty);
        const bool noDate = rng() % 15 == 0;
        const int y = 1900 + static_cast<int>(rng() % 200);
        const int m = 1 + static_cast<int>(rng() % 12);
        const int d = 1 + static_cast<int>(rng() % 28);
        char date[16];
        std::snprintf(date, sizeof date, "%04d%02d%02d", y, m, d);
        r.born = noDate ? 0 : static_cast<double>(julianDay(y, m, d));
        r.bytes = " ";
        r.bytes += name + std::string(12 - name.size(), ' ');
        r.bytes += qty;
        r.bytes += noDate ? std::string(8, ' ') : std::string(date);
        if (r.bytes.size() != kRecordLength) {
            std::fprintf(stderr, "bad record length\n");
            std::exit(2);
        }
        out.push_back(std::move(r));
    }
    return out;
}

struct Line {
    std::string name;
    double value = 0;
    std::uint32_t recno = 0;
};

void writeExpected(const std::filesystem::path& file, const std::string& what, std::vector<Line> lines) {
    if (what == "name") {
        std::sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
            // Blank-padded keys compare like the texts padded to the same width.
            std::string ka = a.name + std::string(12 - a.name.size(), ' ');
            std::string kb = b.name + std::string(12 - b.name.size(), ' ');
            const int c = std::memcmp(ka.data(), kb.data(), 12);
            return c != 0 ? c < 0 : a.recno < b.recno;
        });
    } else {
        std::sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
            return a.value != b.value ? a.value < b.value : a.recno < b.recno;
        });
    }
    std::ofstream out(file);
    for (const Line& l : lines) {
        if (what == "name") {
            out << l.name << ' ' << l.recno << '\n';
        } else {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.15g", l.value);
            out << buf << ' ' << l.recno << '\n';
        }
    }
}

Line lineOf(const Rec& r, const std::string& what, std::uint32_t recno) {
    Line l;
    l.name = r.name;
    l.value = what == "qty" ? r.qty : r.born;
    l.recno = recno;
    return l;
}

// Kills the process in the middle of an index change: at the fifth write or sync of one made
// through the journal (the journal is on disk, the index only partly written), or before the
// second write of a change of one node, which goes without a journal (node, header, sync).
class KillMidChange : public IoProbe {
public:
    int indexIo(IndexIo op) override {
        ++seen_;
        if (seen_ == 5 || (seen_ == 2 && op == IndexIo::Write)) {
            ::raise(SIGKILL);
        }
        return 0;
    }

private:
    int seen_ = 0;
};

// Copies `from` to `to`, adds record 1's key again as record n + 1 in a child killed in the middle
// of it, and completes the change with a writable open.
bool addKilled(const std::filesystem::path& from, const std::filesystem::path& to, const std::string& record,
               std::uint32_t recno) {
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    const pid_t pid = ::fork();
    if (pid == 0) {
        KillMidChange killer;
        try {
            IndexFile::open(to, true, kFields, CodePage::Windows1252, &killer)->insert(record, recno);
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFSIGNALED(status)) {
        std::fprintf(stderr, "the change was not killed in the middle\n");
        return false;
    }
    IndexFile::open(to, true, kFields, CodePage::Windows1252);
    return true;
}

// Saves the first `n` records to a new table `base`.dbf with its name index `base`.idx, one post
// each in shuffled order, then copies both to `rebuilt` and rebuilds that index from its table.
// Record numbers are the order of saving.
std::vector<Line> saveOneByOne(const std::filesystem::path& dir, const std::string& base, const std::string& rebuilt,
                               IndexKind kind, const std::vector<Rec>& recs, std::size_t n) {
    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i) {
        order[i] = i;
    }
    std::mt19937 rng(11);
    std::shuffle(order.begin(), order.end(), rng);
    std::vector<Line> lines;
    {
        TDbfTable::create(dir / (base + ".dbf"), {{"NAME", FieldType::Character, 12}}, CodePage::Windows1252, true);
        TDbfTable t;
        t.open(dir / (base + ".dbf"));
        t.createIndex(dir / (base + ".idx"), "NAME", kind);
        for (std::size_t i : order) {
            t.insert();
            t.setFieldText("NAME", recs[i].name);
            t.post();
            lines.push_back(lineOf(recs[i], "name", t.recNo()));
        }
    }
    const auto copy = std::filesystem::copy_options::overwrite_existing;
    std::filesystem::copy_file(dir / (base + ".dbf"), dir / (rebuilt + ".dbf"), copy);
    std::filesystem::copy_file(dir / (base + ".idx"), dir / (rebuilt + ".idx"), copy);
    TDbfTable t;
    t.open(dir / (rebuilt + ".dbf"));
    t.openIndexFile(dir / (rebuilt + ".idx"), "NAME");
    t.reindex();
    return lines;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: idx_interop_writer OUTDIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    const std::size_t n = 4000;
    const std::vector<Rec> recs = makeRecords(n, 20261201);
    RecordSource source = [&](std::uint32_t recno) { return std::string_view(recs[recno - 1].bytes); };
    const std::pair<const char*, const char*> exprs[] = {{"name", "NAME"}, {"qty", "QTY"}, {"born", "BORN"}};
    try {
        for (IndexKind kind : {IndexKind::Compact, IndexKind::NonCompact}) {
            const std::string k = kind == IndexKind::Compact ? "c" : "n";
            for (const auto& [what, expr] : exprs) {
                // Built in one go over records 1..n.
                const std::string bulk = k + "_" + what + "_bulk";
                IndexFile::create(dir / (bulk + ".idx"), kind, expr, kFields, CodePage::Windows1252,
                                  static_cast<std::uint32_t>(n), source);
                std::vector<Line> lines;
                for (std::size_t i = 0; i < n; ++i) {
                    lines.push_back(lineOf(recs[i], what, static_cast<std::uint32_t>(i + 1)));
                }
                writeExpected(dir / (bulk + ".exp"), what, lines);
                if (std::string(what) == "name") {
                    const std::string killed = k + "_name_killed";
                    if (!addKilled(dir / (bulk + ".idx"), dir / (killed + ".idx"), recs[0].bytes,
                                   static_cast<std::uint32_t>(n + 1))) {
                        return 1;
                    }
                    lines.push_back(lineOf(recs[0], what, static_cast<std::uint32_t>(n + 1)));
                    writeExpected(dir / (killed + ".exp"), what, lines);
                }

                // Grown key by key in random order under large record numbers, then thinned out.
                const std::string ins = k + "_" + what + "_ins";
                auto idx =
                    IndexFile::create(dir / (ins + ".idx"), kind, expr, kFields, CodePage::Windows1252, 0, source);
                std::vector<std::size_t> order(n);
                for (std::size_t i = 0; i < n; ++i) {
                    order[i] = i;
                }
                std::mt19937 rng(7);
                std::shuffle(order.begin(), order.end(), rng);
                auto recnoOf = [](std::size_t i) { return static_cast<std::uint32_t>(i * 1009 + 1); };
                for (std::size_t i : order) {
                    idx->insert(recs[i].bytes, recnoOf(i));
                }
                std::map<std::size_t, bool> removed;
                for (std::size_t j = 0; j < n / 10; ++j) {
                    const std::size_t i = order[j * 3 % n];
                    if (removed[i]) {
                        continue;
                    }
                    removed[i] = true;
                    idx->remove(idx->expression().evaluate(recs[i].bytes), recnoOf(i));
                }
                idx->flush();
                lines.clear();
                for (std::size_t i = 0; i < n; ++i) {
                    if (!removed[i]) {
                        lines.push_back(lineOf(recs[i], what, recnoOf(i)));
                    }
                }
                writeExpected(dir / (ins + ".exp"), what, lines);
            }
        }
        for (IndexKind kind : {IndexKind::Compact, IndexKind::NonCompact}) {
            const std::string k = kind == IndexKind::Compact ? "c" : "n";
            const std::vector<Line> lines = saveOneByOne(dir, k + "_name_saves", k + "_name_rebuilt", kind, recs, 1000);
            writeExpected(dir / (k + "_name_saves.exp"), "name", lines);
            writeExpected(dir / (k + "_name_rebuilt.exp"), "name", lines);
        }
    } catch (const ETableError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
