// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Builds .dbf, .fpt and .dbt files byte by byte for the table engine's tests, so that every
// version, every field encoding and every kind of damage can be written without other tools.

#include "tests/support/file_bytes.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace arrowsel::test {

// Marks a record deleted as another xBase program would: the flag byte of the record.
inline void markDeleted(const std::filesystem::path& table, std::uint32_t recno) {
    std::fstream f(table, std::ios::in | std::ios::out | std::ios::binary);
    unsigned char header[12] = {};
    f.read(reinterpret_cast<char*>(header), sizeof header);
    const unsigned headerLength = header[8] | (header[9] << 8);
    const unsigned recordLength = header[10] | (header[11] << 8);
    f.seekp(static_cast<std::streamoff>(headerLength + (recno - 1) * recordLength));
    f.put('*');
}

inline std::string padRight(std::string s, std::size_t width) {
    s.resize(width, ' ');
    return s;
}

inline std::string padLeft(const std::string& s, std::size_t width) {
    return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

struct ForgeField {
    std::string name;
    char type;
    int width;
    int decimals = 0;
};

// A .dbf file. Records are given as the raw bytes of each field (padded with blanks to the
// field's width when shorter). Knobs let a test damage the header.
class DbfForge {
public:
    DbfForge(std::uint8_t version, std::vector<ForgeField> fields, std::uint8_t codePageMark = 0x03,
             bool backlink = false)
        : version_(version), fields_(std::move(fields)), codePageMark_(codePageMark), backlink_(backlink) {}

    DbfForge& record(const std::vector<std::string>& values, bool deleted = false) {
        std::string r(1, deleted ? '*' : ' ');
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            std::string v = i < values.size() ? values[i] : std::string();
            v.resize(static_cast<std::size_t>(fields_[i].width), ' ');
            r += v;
        }
        records_.push_back(r);
        return *this;
    }

    std::int64_t countOverride = -1;
    std::int64_t headerLengthOverride = -1;
    std::int64_t recordLengthOverride = -1;
    bool endMark = true;    // 0x1A after the last record
    bool terminator = true; // 0x0D after the descriptors
    bool garbageDisplacement = false;

    std::uint32_t recordLength() const {
        std::uint32_t n = 1;
        for (const auto& f : fields_) {
            n += static_cast<std::uint32_t>(f.width);
        }
        return n;
    }

    std::uint32_t headerLength() const {
        return static_cast<std::uint32_t>(32 + 32 * fields_.size() + 1 + (backlink_ ? 263 : 0));
    }

    std::string bytes() const {
        std::string h(32, '\0');
        h[0] = static_cast<char>(version_);
        h[1] = 26;
        h[2] = 12;
        h[3] = 8;
        const std::uint32_t count = countOverride >= 0 ? static_cast<std::uint32_t>(countOverride)
                                                       : static_cast<std::uint32_t>(records_.size());
        h.replace(4, 4, le32(count));
        const auto hl = static_cast<std::uint32_t>(headerLengthOverride >= 0 ? headerLengthOverride : headerLength());
        const auto rl = static_cast<std::uint32_t>(recordLengthOverride >= 0 ? recordLengthOverride : recordLength());
        h[8] = static_cast<char>(hl & 0xFF);
        h[9] = static_cast<char>(hl >> 8);
        h[10] = static_cast<char>(rl & 0xFF);
        h[11] = static_cast<char>(rl >> 8);
        h[29] = static_cast<char>(codePageMark_);
        std::uint32_t offset = 1;
        for (const auto& f : fields_) {
            std::string d(32, '\0');
            d.replace(0, f.name.size(), f.name);
            d[11] = f.type;
            d.replace(12, 4, le32(garbageDisplacement ? 0xDEADBEEF : offset));
            d[16] = static_cast<char>(f.width);
            d[17] = static_cast<char>(f.decimals);
            h += d;
            offset += static_cast<std::uint32_t>(f.width);
        }
        if (terminator) {
            h += '\x0D';
        } else {
            h += ' ';
        }
        if (backlink_) {
            h += std::string(263, '\0');
        }
        for (const auto& r : records_) {
            h += r;
        }
        if (endMark) {
            h += '\x1A';
        }
        return h;
    }

    void write(const std::filesystem::path& path) const { writeFile(path, bytes()); }

private:
    std::uint8_t version_;
    std::vector<ForgeField> fields_;
    std::uint8_t codePageMark_;
    bool backlink_;
    std::vector<std::string> records_;
};

// A FoxPro .fpt memo file: 512-byte big-endian header, memos on block boundaries.
class FptForge {
public:
    explicit FptForge(std::uint32_t blockSize) : blockSize_(blockSize), data_(512, '\0') {
        data_.resize(static_cast<std::size_t>(nextBlock() * blockSize_), '\0');
    }

    // Appends a memo; returns its block number.
    std::uint32_t add(const std::string& text, std::uint32_t type = 1, std::int64_t lengthOverride = -1) {
        const std::uint32_t block = nextBlock();
        data_ += be32(type);
        data_ += be32(
            static_cast<std::uint32_t>(lengthOverride >= 0 ? lengthOverride : static_cast<std::int64_t>(text.size())));
        data_ += text;
        data_.resize(static_cast<std::size_t>(((data_.size() + blockSize_ - 1) / blockSize_) * blockSize_), '\0');
        return block;
    }

    std::string bytes() const {
        std::string out = data_;
        out.replace(0, 4, be32(nextBlock()));
        out[6] = static_cast<char>((blockSize_ >> 8) & 0xFF);
        out[7] = static_cast<char>(blockSize_ & 0xFF);
        return out;
    }

    void write(const std::filesystem::path& path) const { writeFile(path, bytes()); }

private:
    std::uint32_t nextBlock() const {
        const std::size_t size = std::max<std::size_t>(data_.size(), 512);
        return static_cast<std::uint32_t>((size + blockSize_ - 1) / blockSize_);
    }

    std::uint32_t blockSize_;
    std::string data_;
};

// A dBASE III .dbt memo file: 512-byte blocks, texts ended by 0x1A 0x1A.
class DbtForge {
public:
    DbtForge() : data_(512, '\0') {}

    std::uint32_t add(const std::string& text) {
        const auto block = static_cast<std::uint32_t>(data_.size() / 512);
        data_ += text;
        data_ += "\x1A\x1A";
        data_.resize(((data_.size() + 511) / 512) * 512, '\0');
        return block;
    }

    std::string bytes() const {
        std::string out = data_;
        out.replace(0, 4, le32(static_cast<std::uint32_t>(data_.size() / 512)));
        return out;
    }

    void write(const std::filesystem::path& path) const { writeFile(path, bytes()); }

private:
    std::string data_;
};

} // namespace arrowsel::test
