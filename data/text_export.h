// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/codepage.h"
#include "data/field.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace arrowsel::data {

// Text export, format 21 (comma-delimited): one line per record ending in CR LF, fields in table
// order separated by commas; C and M fields in double quotes with trailing blanks dropped and inner
// quotes doubled; N, F, I (and Visual FoxPro B) unquoted without blanks; D as YYYYMMDD (empty when
// blank); L as T or F; G, P and binary memo fields left out; no header line. Text is written in
// the table's own code page, byte for byte as stored, which is what readers of the classic export
// expect.
namespace text_export {

// Gives the stored bytes of a memo field of a record (in the table's code page).
using MemoText = std::function<std::string(const FieldDef& field, const char* record)>;

void appendLine(std::string& out, const std::vector<FieldDef>& fields, const char* record, CodePage cp,
                const MemoText& memoText);

// One field of a line, after the comma that parts it from the one before unless it is the first:
// `value` is a C or M field's bytes in the code page, or field_codec::text of a field of another
// type the export writes. For a record kept outside a table; the line then ends with "\r\n".
void appendValue(std::string& out, FieldType type, std::string_view value, bool first);

// A file written under a temporary name and renamed over the target by commit(); dropped (the
// temporary removed) when destroyed uncommitted or when the constructor fails. A target that is a
// symbolic link to an existing file is followed, so the link stays and its target gets the new
// contents; a link whose file does not exist is refused, naming where it points. The new file
// keeps the mode of the file it replaces where the file system has Unix modes (on one without,
// such as FAT, nothing is kept and nothing fails); with no file to replace it is created under
// the process's umask. Failures throw ETableError naming the file (and the folder, when the
// folder cannot take a new file).
class AtomicFile {
public:
    explicit AtomicFile(const std::filesystem::path& target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void write(std::string_view bytes);
    void commit();
    // The file that commit() replaces: the target with its links followed.
    const std::filesystem::path& destination() const { return target_; }

private:
    [[noreturn]] void fail(const std::string& what, int err);
    void discard() noexcept;

    std::filesystem::path target_;
    std::filesystem::path temp_;
    int fd_ = -1;
};

} // namespace text_export
} // namespace arrowsel::data
