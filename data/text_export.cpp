#include "data/text_export.h"

#include "data/dbf_header.h"
#include "data/field_codec.h"
#include "data/file_io.h"
#include "data/table_error.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace arrowsel::data::text_export {
namespace fs = std::filesystem;
namespace {

void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') {
            out.append(text.substr(start, i + 1 - start));
            out += '"';
            start = i + 1;
        }
    }
    out.append(text.substr(start));
    out += '"';
}

} // namespace

void appendLine(std::string& out, const std::vector<FieldDef>& fields, const char* record, CodePage cp,
                const MemoText& memoText) {
    bool firstField = true;
    for (const FieldDef& f : fields) {
        const std::string_view bytes(record + f.offset, static_cast<std::size_t>(f.width));
        const bool memo = isMemoPointer(f);
        if ((memo && f.type != FieldType::Memo) || f.type == FieldType::General || f.type == FieldType::Picture) {
            continue;
        }
        switch (f.type) {
        case FieldType::Character:
        case FieldType::Memo:
        case FieldType::Numeric:
        case FieldType::Float:
        case FieldType::Date:
        case FieldType::Logical:
        case FieldType::Integer:
        case FieldType::Binary:
            break;
        default:
            continue; // types the engine does not know are left out
        }
        if (!firstField) {
            out += ',';
        }
        firstField = false;
        switch (f.type) {
        case FieldType::Character:
            appendQuoted(out, decodeText(cp, field_codec::trimRight(bytes)));
            break;
        case FieldType::Memo:
            appendQuoted(out, memoText(f, record));
            break;
        case FieldType::Logical:
            out += field_codec::text(f, record, cp) == "T" ? 'T' : 'F';
            break;
        default:
            out += field_codec::text(f, record, cp);
            break;
        }
    }
    out += "\r\n";
}

AtomicFile::AtomicFile(const fs::path& target) : target_(target) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) {
        fail("cannot create a file in its folder", errno);
    }
    temp_ = pattern;
    ::fchmod(fd_, 0644);
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
    }
}

void AtomicFile::fail(const std::string& what, int err) {
    throw ETableError("Cannot write the text file " + target_.string() + ": " + what + " (" + errorText(err) + ").");
}

void AtomicFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("writing failed", errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void AtomicFile::commit() {
    if (::fsync(fd_) != 0 && errno != EINVAL) {
        fail("flushing failed", errno);
    }
    if (::close(fd_) != 0) {
        fd_ = -1;
        fail("closing failed", errno);
    }
    fd_ = -1;
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        fail("it cannot be replaced", errno);
    }
    temp_.clear();
}

} // namespace arrowsel::data::text_export
