// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dbf_header.h"

#include "data/table_error.h"

#include <cstdio>
#include <ctime>

namespace arrowsel::data {
namespace {

[[noreturn]] void damaged(const std::string& fileName, const std::string& what) {
    throw ETableError("The table " + fileName + " is damaged: " + what + ".");
}

std::string hexByte(unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", v & 0xFFu);
    return buf;
}

bool knownVersion(std::uint8_t v) {
    return v == dbf::kDbase3 || v == dbf::kDbase3Memo || v == dbf::kFoxPro2Memo || dbf::isVisualFoxPro(v);
}

} // namespace

bool isMemoPointer(const FieldDef& field) {
    switch (field.type) {
    case FieldType::Memo:
    case FieldType::General:
    case FieldType::Picture:
        return true;
    case FieldType::Binary:
        return field.width != 8;
    default:
        return false;
    }
}

bool isReadableType(FieldType type) {
    switch (type) {
    case FieldType::Character:
    case FieldType::Numeric:
    case FieldType::Float:
    case FieldType::Date:
    case FieldType::Logical:
    case FieldType::Integer:
    case FieldType::Memo:
    case FieldType::Binary:
    case FieldType::General:
    case FieldType::Picture:
        return true;
    }
    return false;
}

std::uint32_t headerLengthOf(std::string_view fixed, std::uint64_t fileSize, const std::string& fileName) {
    if (fixed.size() < 32) {
        damaged(fileName, "its header is cut short");
    }
    const auto version = static_cast<std::uint8_t>(fixed[0]);
    if (!knownVersion(version)) {
        throw ETableError("The file " + fileName + " is not a FoxPro or dBASE III table this program can read " +
                          "(version byte " + hexByte(version) + ").");
    }
    const std::uint32_t headerLength = readLe16(fixed.data() + 8);
    if (headerLength < 32 + 32 + 1) {
        damaged(fileName, "its header length (" + std::to_string(headerLength) + ") is too small");
    }
    if (headerLength > fileSize) {
        damaged(fileName, "its header is cut short");
    }
    return headerLength;
}

namespace {

// A field's width must be one its type can have; a table that says otherwise is damaged.
void checkFieldWidth(const FieldDef& f, unsigned char typeByte, const std::string& fileName) {
    const auto bad = [&](const char* rule) {
        damaged(fileName, "field " + f.name + " of type " + std::string(1, static_cast<char>(typeByte)) +
                              " has width " + std::to_string(f.width) + " (" + rule + ")");
    };
    switch (f.type) {
    case FieldType::Date:
        if (f.width != 8) {
            bad("a date is 8 bytes");
        }
        break;
    case FieldType::Logical:
        if (f.width != 1) {
            bad("a logical is 1 byte");
        }
        break;
    case FieldType::Integer:
        if (f.width != 4) {
            bad("an integer is 4 bytes");
        }
        break;
    case FieldType::Memo:
    case FieldType::General:
    case FieldType::Picture:
        if (f.width != 10 && f.width != 4) {
            bad("a memo pointer is 10 or 4 bytes");
        }
        break;
    case FieldType::Binary:
        if (f.width != 10 && f.width != 8 && f.width != 4) {
            bad("a binary field is 4, 8 or 10 bytes");
        }
        break;
    default:
        if (f.width < 1) {
            bad("no field is empty");
        }
        break;
    }
}

// One 32-byte field descriptor: the name (up to 11 bytes, NUL-ended, upper-cased), the type at
// byte 11, the width and decimals at bytes 16 and 17. `offset` is where the field starts in a record.
FieldDef readFieldDescriptor(const unsigned char* d, std::size_t number, int offset, const std::string& fileName) {
    FieldDef f;
    for (int i = 0; i < 11 && d[i] != 0; ++i) {
        char c = static_cast<char>(d[i]);
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        f.name += c;
    }
    if (f.name.empty()) {
        damaged(fileName, "field " + std::to_string(number) + " has no name");
    }
    f.type = static_cast<FieldType>(static_cast<char>(d[11]));
    f.width = d[16];
    f.decimals = d[17];
    f.offset = offset;
    checkFieldWidth(f, d[11], fileName);
    return f;
}

// Records start where the header length says. A length that is not what the descriptors take
// (plus one pad byte some dBASE writers add, or the backlink FoxPro writers add) would read every
// record shifted and let a write land on the wrong one. `described` is where the end mark lies, plus one.
void checkLengths(const DbfHeader& h, const unsigned char* b, std::size_t described, std::uint64_t widthSum,
                  const std::string& fileName) {
    const bool lengthFits = h.headerLength == described || h.headerLength == described + dbf::kBacklinkSize ||
                            (h.headerLength == described + 1 && b[described] == 0);
    if (!lengthFits) {
        damaged(fileName, "its header length (" + std::to_string(h.headerLength) + ") does not match its " +
                              std::to_string(h.fields.size()) + " fields (" + std::to_string(described) +
                              (dbf::isVisualFoxPro(h.version) ? " or " + std::to_string(described + dbf::kBacklinkSize)
                                                              : std::string()) +
                              ")");
    }
    if (widthSum + 1 != h.recordLength) {
        damaged(fileName, "its record length (" + std::to_string(h.recordLength) + ") does not match its fields (" +
                              std::to_string(widthSum + 1) + ")");
    }
}

} // namespace

DbfHeader parseDbfHeader(std::string_view all, std::uint64_t fileSize, const std::string& fileName) {
    DbfHeader h;
    h.headerLength = headerLengthOf(all, fileSize, fileName);
    if (all.size() < h.headerLength) {
        damaged(fileName, "its header is cut short");
    }
    const auto* b = reinterpret_cast<const unsigned char*>(all.data());
    h.version = b[0];
    h.year = b[1];
    h.month = b[2];
    h.day = b[3];
    h.recordCount = readLe32(b + 4);
    h.recordLength = readLe16(b + 10);
    h.tableFlags = b[28];
    h.codePageMark = b[29];

    std::size_t pos = 32;
    bool terminated = false;
    std::uint64_t widthSum = 0;
    while (pos < h.headerLength) {
        if (b[pos] == 0x0D) {
            terminated = true;
            break;
        }
        if (pos + 32 > h.headerLength) {
            break;
        }
        FieldDef f = readFieldDescriptor(b + pos, h.fields.size() + 1, static_cast<int>(1 + widthSum), fileName);
        if (isMemoPointer(f)) {
            h.memoKind = h.version == dbf::kDbase3Memo ? dbf::MemoKind::Dbt : dbf::MemoKind::Fpt;
        }
        widthSum += static_cast<std::uint64_t>(f.width);
        h.fields.push_back(std::move(f));
        pos += 32;
    }
    if (!terminated) {
        damaged(fileName, "its list of fields has no end mark");
    }
    if (h.fields.empty()) {
        damaged(fileName, "it has no fields");
    }
    checkLengths(h, b, pos + 1, widthSum, fileName);
    return h;
}

void todayBytes(unsigned char out[3]) {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    out[0] = static_cast<unsigned char>((tm.tm_year + 1900) % 100);
    out[1] = static_cast<unsigned char>(tm.tm_mon + 1);
    out[2] = static_cast<unsigned char>(tm.tm_mday);
}

std::string buildDbfHeader(std::uint8_t version, const std::vector<FieldDef>& fields, CodePage cp) {
    const bool vfp = dbf::isVisualFoxPro(version);
    const std::size_t headerLength = 32 + 32 * fields.size() + 1 + (vfp ? dbf::kBacklinkSize : 0);
    std::string out(headerLength, '\0');
    auto* b = reinterpret_cast<unsigned char*>(out.data());
    b[0] = version;
    todayBytes(b + 1);
    writeLe32(b + 4, 0);
    writeLe16(b + 8, static_cast<std::uint16_t>(headerLength));
    std::uint32_t recordLength = 1;
    bool memo = false;
    for (const FieldDef& f : fields) {
        recordLength += static_cast<std::uint32_t>(f.width);
        memo = memo || isMemoPointer(f);
    }
    writeLe16(b + 10, static_cast<std::uint16_t>(recordLength));
    b[28] = vfp && memo ? 0x02 : 0x00;
    b[29] = static_cast<unsigned char>(cp);
    std::size_t pos = 32;
    for (const FieldDef& f : fields) {
        unsigned char* d = b + pos;
        for (std::size_t i = 0; i < f.name.size() && i < 10; ++i) {
            d[i] = static_cast<unsigned char>(f.name[i]);
        }
        d[11] = static_cast<unsigned char>(f.type);
        writeLe32(d + 12, static_cast<std::uint32_t>(f.offset));
        d[16] = static_cast<unsigned char>(f.width);
        d[17] = static_cast<unsigned char>(f.decimals);
        pos += 32;
    }
    b[pos] = 0x0D;
    return out;
}

} // namespace arrowsel::data
