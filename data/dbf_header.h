// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/codepage.h"
#include "data/field.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace arrowsel::data {

// The header of a .dbf file.
//
// Bytes 0-31: version (0), last update YY MM DD (1-3), record count (4-7, uint32), header length
// (8-9, the position of record 1), record length (10-11, deletion flag included), reserved
// (12-27), table flags (28: 0x02 has memo), code page mark (29), reserved (30-31); then one 32-byte
// descriptor per field: name (0-10, NUL-padded), type letter (11), displacement (12-15, not
// trusted on input), width (16), decimals (17), flags (18), VFP autoincrement (19-23), reserved;
// then 0x0D, and for Visual FoxPro (0x30-0x32) a 263-byte backlink, all zeros for a free table.
// All integers little-endian.
namespace dbf {

inline constexpr std::uint8_t kDbase3 = 0x03;
inline constexpr std::uint8_t kDbase3Memo = 0x83;
inline constexpr std::uint8_t kFoxPro2Memo = 0xF5;
inline constexpr std::uint8_t kVisualFoxPro = 0x30;
inline constexpr std::uint8_t kVisualFoxProAutoInc = 0x31;
inline constexpr std::uint8_t kVisualFoxProVarchar = 0x32;
inline constexpr std::size_t kBacklinkSize = 263;

inline bool isVisualFoxPro(std::uint8_t version) {
    return version == kVisualFoxPro || version == kVisualFoxProAutoInc || version == kVisualFoxProVarchar;
}

// Offsets of FoxPro's one-byte locks (record n at kHeaderLock - n) and of the byte every open of
// this engine locks: shared by shared and read-only opens, exclusively by an exclusive open.
inline constexpr std::uint64_t kHeaderLock = 0x7FFFFFFE;
inline constexpr std::uint64_t kOpenLock = 0x7FFFFFFF;

enum class MemoKind { None, Fpt, Dbt };

} // namespace dbf

struct DbfHeader {
    std::uint8_t version = dbf::kDbase3;
    int year = 0; // as stored in byte 1 (YY, either year-1900 or year mod 100)
    int month = 0;
    int day = 0;
    std::uint32_t recordCount = 0;
    std::uint32_t headerLength = 0;
    std::uint32_t recordLength = 0;
    std::uint8_t tableFlags = 0;
    std::uint8_t codePageMark = 0;
    std::vector<FieldDef> fields;
    dbf::MemoKind memoKind = dbf::MemoKind::None;
};

// True for fields whose bytes hold a block number in the memo file: M, G, P, and B of width 10.
bool isMemoPointer(const FieldDef& field);

// True for the type letters the engine reads: C, N, F, D, L, I, M, B, G and P. Fields of other
// types (Visual FoxPro's _NullFlags, currency, date-time...) may be present but are not read.
bool isReadableType(FieldType type);

// Reads and checks a header. `fixed` holds at least the first 32 bytes of the file when the file
// has them; `all` the first headerLength bytes (read by the caller once the length is known; pass
// the same text when it was already complete). Throws ETableError naming `fileName` when the
// header is damaged or describes a table the engine cannot read.
std::uint32_t headerLengthOf(std::string_view fixed, std::uint64_t fileSize, const std::string& fileName);
DbfHeader parseDbfHeader(std::string_view all, std::uint64_t fileSize, const std::string& fileName);

// The bytes of a header for a new table (record count 0, today's date), descriptors with correct
// displacements, the 0x0D terminator and, for Visual FoxPro, the backlink.
std::string buildDbfHeader(std::uint8_t version, const std::vector<FieldDef>& fields, CodePage cp);

// Today's date as the three header bytes YY (year mod 100), MM, DD.
void todayBytes(unsigned char out[3]);

// Little-endian helpers.
inline std::uint32_t readLe32(const void* p) {
    const auto* b = static_cast<const unsigned char*>(p);
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}
inline std::uint16_t readLe16(const void* p) {
    const auto* b = static_cast<const unsigned char*>(p);
    return static_cast<std::uint16_t>(b[0] | b[1] << 8);
}
inline void writeLe32(void* p, std::uint32_t v) {
    auto* b = static_cast<unsigned char*>(p);
    b[0] = static_cast<unsigned char>(v);
    b[1] = static_cast<unsigned char>(v >> 8);
    b[2] = static_cast<unsigned char>(v >> 16);
    b[3] = static_cast<unsigned char>(v >> 24);
}
inline void writeLe16(void* p, std::uint16_t v) {
    auto* b = static_cast<unsigned char*>(p);
    b[0] = static_cast<unsigned char>(v);
    b[1] = static_cast<unsigned char>(v >> 8);
}

} // namespace arrowsel::data
