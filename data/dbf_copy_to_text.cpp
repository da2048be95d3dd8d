// SPDX-License-Identifier: GPL-3.0-or-later
// A table copied into a text file (see text_export.h for the format and the file's safe replacing).
#include "data/dbf_table_impl.h"
#include "data/table_error.h"
#include "data/text_export.h"

namespace arrowsel::data {

namespace {

constexpr std::size_t kExportMemoLimit = std::size_t{64} << 20; // the most of one memo an export reads

} // namespace

void TDbfTable::copyToText(const fs::path& file, int format) const {
    Impl& d = *impl_;
    d.requireOpen();
    if (format != 21) {
        throw ETableError("Cannot copy the table " + d.name + " to text: format " + std::to_string(format) +
                          " is not supported (only 21, comma-delimited).");
    }
    IndexFile* ix = d.controlling();
    std::uint32_t n = 0;
    std::string all;
    {
        // A consistent picture: no process appends or updates indexes while the records are read.
        ByteLock lock;
        d.lockForReading(lock);
        d.refreshCount();
        if (ix != nullptr && d.shared()) {
            ix->refresh();
        }
        n = d.count;
        all = d.readAll(n);
    }
    const std::size_t r = d.R();
    // A memo is exported whole, up to a bound far past anything the windows store; one longer is
    // refused rather than cut without a word.
    const text_export::MemoText memoText = [&d, &all, r](const FieldDef& f, const char* rec) {
        bool cut = false;
        std::string bytes = d.memoBytes(f, rec, 0, kExportMemoLimit, &cut);
        if (cut) {
            const auto recno = static_cast<std::uint32_t>((rec - all.data()) / static_cast<std::ptrdiff_t>(r) + 1);
            throw ETableError("Cannot copy the table " + d.name + " to text: the memo " + f.name + " of record " +
                              std::to_string(recno) + " holds more than " + std::to_string(kExportMemoLimit >> 20) +
                              " MiB, more than the program reads. Nothing was written.");
        }
        return bytes;
    };
    text_export::AtomicFile out(file);
    std::string buffer;
    buffer.reserve(1 << 20);
    const auto emit = [&](std::uint32_t k) {
        text_export::appendLine(buffer, d.hdr.fields, all.data() + static_cast<std::size_t>(k - 1) * r, d.cp, memoText);
        if (buffer.size() >= (1u << 20)) {
            out.write(buffer);
            buffer.clear();
        }
    };
    if (ix != nullptr) {
        for (std::size_t i = 0; i < ix->size(); ++i) {
            const std::uint32_t k = ix->at(i).recno;
            if (k >= 1 && k <= n) {
                emit(k);
            }
        }
    } else {
        for (std::uint32_t k = 1; k <= n; ++k) {
            emit(k);
        }
    }
    out.write(buffer);
    out.commit();
}

} // namespace arrowsel::data
