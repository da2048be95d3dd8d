// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/text_export.h"

#include "data/dbf_header.h"
#include "data/field_codec.h"
#include "data/file_io.h"
#include "data/table_error.h"
#include "data/text.h"

#include <atomic>
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

void appendValue(std::string& out, FieldType type, std::string_view value, bool first) {
    if (!first) {
        out += ',';
    }
    switch (type) {
    case FieldType::Character:
        appendQuoted(out, trimTrailingSpaces(value));
        break;
    case FieldType::Memo:
        appendQuoted(out, value);
        break;
    case FieldType::Logical:
        out += value == "T" ? 'T' : 'F';
        break;
    default:
        out += value;
        break;
    }
}

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
        std::string converted;
        if (f.type == FieldType::Memo) {
            converted = memoText(f, record);
        } else if (f.type != FieldType::Character) {
            converted = field_codec::text(f, record, cp);
        }
        appendValue(out, f.type, f.type == FieldType::Character ? bytes : std::string_view(converted), firstField);
        firstField = false;
    }
    out += "\r\n";
}

namespace {

// Follows a chain of symbolic links to the file it ends at (which need not exist yet).
fs::path followLinks(fs::path path) {
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec))) {
            return path;
        }
        const fs::path next = fs::read_symlink(path, ec);
        if (ec) {
            return path;
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path; // a loop: the open below fails and names it
}

std::string temporaryName(const fs::path& target, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    // Appended piece by piece: GCC 12 at -O3 misreads `"." + std::string&&` as overlapping copies
    // (-Wrestrict).
    std::string name = ".";
    name += target.filename().string();
    name += '.';
    name += std::to_string(::getpid());
    name += '.';
    name += std::to_string(counter.fetch_add(1) + attempt);
    return name;
}

} // namespace

AtomicFile::AtomicFile(const fs::path& target) : target_(followLinks(target)) {
    const fs::path folder = target_.has_parent_path() ? target_.parent_path() : fs::path(".");
    struct stat old {};
    const bool replacing = ::stat(target_.c_str(), &old) == 0;
    if (!replacing && target_ != target) {
        // A link whose file is gone: following it would create a file wherever it points, maybe
        // outside the folder the user chose.
        const int err = errno;
        throw ETableError(
            "Cannot write the text file " + target.string() + ": it is a link to " + target_.string() +
            (err == ELOOP ? ", a chain of links that leads back to itself (" : ", which does not exist (") +
            errorText(err) + "). Remove the link, or put the file it names back, and try again.");
    }
    if (replacing && S_ISDIR(old.st_mode)) {
        fail("a folder of that name is in the way", EISDIR);
    }
    if (replacing && ::access(target_.c_str(), W_OK) != 0 && errno != EROFS) {
        fail("the file is read-only", errno);
    }
    // A new file gets 0666 less the umask from the kernel; one that replaces a file starts private
    // and takes the old file's mode before anything is written into it.
    const mode_t createMode = replacing ? S_IRUSR | S_IWUSR : 0666;
    for (unsigned attempt = 0; fd_ < 0; ++attempt) {
        const fs::path candidate = folder / temporaryName(target_, attempt);
        fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, createMode);
        if (fd_ >= 0) {
            temp_ = candidate;
        } else if (errno != EEXIST || attempt > 100) {
            const int err = errno;
            if (err == EACCES || err == EROFS || err == EPERM) {
                fail("the folder " + folder.string() + " is read-only", err);
            }
            fail("cannot create a file in its folder", err);
        }
    }
    if (replacing) {
        // A file system without Unix modes (FAT on a USB stick, some network shares) refuses the
        // change or does not know it: there is no mode to keep, and the file is written all the same.
        if (::fchmod(fd_, old.st_mode & 07777) != 0 && errno != EPERM && errno != ENOSYS && errno != ENOTSUP &&
            errno != EOPNOTSUPP) {
            const int err = errno;
            discard();
            fail("its permissions cannot be kept", err);
        }
        // Keeps the group where the owner may (a shared shop folder); otherwise the file is ours.
        [[maybe_unused]] const int kept = ::fchown(fd_, static_cast<uid_t>(-1), old.st_gid);
    }
}

AtomicFile::~AtomicFile() {
    discard();
}

void AtomicFile::discard() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

void AtomicFile::fail(const std::string& what, int err) {
    throw ETableError("Cannot write the text file " + target_.string() + ": " + what + " (" + errorText(err) + ").");
}

void AtomicFile::write(std::string_view bytes) {
    if (const int err = appendAll(fd_, bytes); err != 0) {
        fail("writing failed", err);
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
