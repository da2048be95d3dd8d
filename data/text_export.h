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
// blank); L as T or F; G, P and binary memo fields left out; no header line; UTF-8.
namespace text_export {

// Gives the text of a memo field of a record (already converted to UTF-8).
using MemoText = std::function<std::string(const FieldDef& field, const char* record)>;

void appendLine(std::string& out, const std::vector<FieldDef>& fields, const char* record, CodePage cp,
                const MemoText& memoText);

// A file written under a temporary name in the target's folder and renamed over the target by
// commit(); dropped (the temporary removed) when destroyed uncommitted. Failures throw ETableError
// naming the target.
class AtomicFile {
public:
    explicit AtomicFile(const std::filesystem::path& target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void write(std::string_view bytes);
    void commit();

private:
    [[noreturn]] void fail(const std::string& what, int err);

    std::filesystem::path target_;
    std::filesystem::path temp_;
    int fd_ = -1;
};

} // namespace text_export
} // namespace arrowsel::data
