// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/memo_file.h"

#include "data/dbf_header.h"
#include "data/new_file.h"
#include "data/table_error.h"

#include <algorithm>

namespace arrowsel::data {
namespace fs = std::filesystem;
namespace {

constexpr std::uint64_t kHeaderSize = 512;

std::uint32_t readBe32(const unsigned char* b) {
    return static_cast<std::uint32_t>(b[0]) << 24 | static_cast<std::uint32_t>(b[1]) << 16 |
           static_cast<std::uint32_t>(b[2]) << 8 | static_cast<std::uint32_t>(b[3]);
}

void writeBe32(unsigned char* b, std::uint32_t v) {
    b[0] = static_cast<unsigned char>(v >> 24);
    b[1] = static_cast<unsigned char>(v >> 16);
    b[2] = static_cast<unsigned char>(v >> 8);
    b[3] = static_cast<unsigned char>(v);
}

std::uint64_t ceilDiv(std::uint64_t a, std::uint64_t b) {
    return (a + b - 1) / b;
}

} // namespace

void MemoFile::createFpt(const fs::path& path, std::uint32_t blockSize, IoProbe* probe) {
    unsigned char header[kHeaderSize] = {};
    writeBe32(header, static_cast<std::uint32_t>(ceilDiv(kHeaderSize, blockSize)));
    header[6] = static_cast<unsigned char>(blockSize >> 8);
    header[7] = static_cast<unsigned char>(blockSize);
    NewFile f(path, NewFile::Replace::Always, probe);
    f.write(std::string_view(reinterpret_cast<const char*>(header), sizeof header));
    f.commit();
}

MemoFile::MemoFile(const fs::path& path, Kind kind, bool writable, IoProbe* probe) : kind_(kind) {
    file_.setProbe(probe);
    const int err = file_.open(path, writable ? File::Access::ReadWrite : File::Access::ReadOnly);
    if (err != 0) {
        throw ETableError("Cannot open the memo file " + path.string() + ": " + errorText(err) + ".");
    }
    unsigned char header[8] = {};
    if (file_.readAt(0, header, sizeof header) != sizeof header) {
        throw ETableError("The memo file " + path.string() + " is damaged: its header is cut short.");
    }
    if (kind_ == Kind::Fpt) {
        blockSize_ = static_cast<std::uint32_t>(header[6] << 8 | header[7]);
        if (blockSize_ == 0) {
            throw ETableError("The memo file " + path.string() + " is damaged: its block size is 0.");
        }
    } else {
        blockSize_ = 512;
    }
}

std::string MemoFile::read(std::uint32_t block, std::size_t limit, bool* cut) const {
    if (cut != nullptr) {
        *cut = false;
    }
    if (block == 0) {
        return {};
    }
    const std::string name = file_.path().string();
    const std::uint64_t size = file_.size();
    const std::uint64_t offset = static_cast<std::uint64_t>(block) * blockSize_;
    if (offset < kHeaderSize) {
        throw ETableError("The memo file " + name + " is damaged: block " + std::to_string(block) +
                          " lies inside its header.");
    }
    if (offset >= size) {
        throw ETableError("The memo file " + name + " is damaged: block " + std::to_string(block) +
                          " lies past its end.");
    }
    unsigned char head[8] = {};
    const std::size_t got = file_.readAt(offset, head, sizeof head);
    const bool dbase4 = got == 8 && head[0] == 0xFF && head[1] == 0xFF && head[2] == 0x08 && head[3] == 0x00;
    if (kind_ == Kind::Fpt || dbase4) {
        if (got != sizeof head) {
            throw ETableError("The memo file " + name + " is damaged: the memo at block " + std::to_string(block) +
                              " is cut short.");
        }
        std::uint64_t length = kind_ == Kind::Fpt ? readBe32(head + 4) : readLe32(head + 4);
        if (dbase4) {
            length = length >= 8 ? length - 8 : 0;
        }
        if (length > size - offset - 8) {
            throw ETableError("The memo file " + name + " is damaged: the memo at block " + std::to_string(block) +
                              " claims " + std::to_string(length) + " bytes, more than the file holds.");
        }
        if (cut != nullptr) {
            *cut = length > limit;
        }
        std::string out(static_cast<std::size_t>(std::min<std::uint64_t>(length, limit)), '\0');
        file_.readExact(offset + 8, out.data(), out.size(), "a memo");
        return out;
    }
    // dBASE III: the text runs to the first 0x1A (or the end of the file), read as far as the
    // limit and one byte more, which tells whether there was more.
    std::string out;
    char chunk[4096];
    std::uint64_t pos = offset;
    while (pos < size && out.size() <= limit) {
        const std::size_t want = std::min<std::size_t>(sizeof chunk, limit + 1 - out.size());
        const std::size_t n = file_.readAt(pos, chunk, want);
        if (n == 0) {
            break;
        }
        const std::string_view part(chunk, n);
        const std::size_t stop = part.find('\x1A');
        out.append(part.substr(0, stop));
        if (stop != std::string_view::npos) {
            break;
        }
        pos += n;
    }
    if (out.size() > limit) {
        out.resize(limit);
        if (cut != nullptr) {
            *cut = true;
        }
    }
    return out;
}

std::uint32_t MemoFile::append(std::string_view data, std::uint32_t type) {
    const std::string name = file_.path().string();
    if (!file_.writable()) {
        throw ETableError("The memo file " + name + " is open read-only.");
    }
    // The new memo goes at the end of the file (rounded up to a block), past the header: never
    // over anything the file holds. The header's next free block normally says the same; one
    // that points further is damage and is not followed (it could ask for a huge sparse file).
    const std::uint64_t size = file_.size();
    const std::uint64_t next = std::max(ceilDiv(kHeaderSize, blockSize_), ceilDiv(size, blockSize_));

    std::string bytes;
    if (kind_ == Kind::Fpt) {
        bytes.resize(8);
        auto* h = reinterpret_cast<unsigned char*>(bytes.data());
        writeBe32(h, type);
        writeBe32(h + 4, static_cast<std::uint32_t>(data.size()));
        bytes.append(data);
    } else {
        if (data.find('\x1A') != std::string_view::npos) {
            throw ETableError("A memo of the memo file " + name + " cannot hold the character 0x1A.");
        }
        bytes.assign(data);
        bytes += "\x1A\x1A";
    }
    const std::uint64_t blocks = std::max<std::uint64_t>(1, ceilDiv(bytes.size(), blockSize_));
    bytes.resize(static_cast<std::size_t>(blocks * blockSize_), '\0');
    const std::uint64_t newNext = next + blocks;
    if (newNext > 0xFFFFFFFFu || data.size() > 0xFFFFFFFFu) {
        throw ETableError("The memo file " + name + " is full.");
    }
    file_.writeAt(next * blockSize_, bytes.data(), bytes.size());
    unsigned char nextBytes[4];
    if (kind_ == Kind::Fpt) {
        writeBe32(nextBytes, static_cast<std::uint32_t>(newNext));
    } else {
        writeLe32(nextBytes, static_cast<std::uint32_t>(newNext));
    }
    file_.writeAt(0, nextBytes, sizeof nextBytes);
    return static_cast<std::uint32_t>(next);
}

void MemoFile::sync() {
    if (file_.writable()) {
        file_.sync();
    }
}

} // namespace arrowsel::data
