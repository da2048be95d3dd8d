// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/file_io.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace arrowsel::data {

// The memo file of a table: FoxPro's .fpt, or dBASE III's .dbt for version 0x83 tables.
//
// .fpt: a 512-byte header whose integers are big-endian: the next free block (0-3) and the block
// size in bytes (6-7). A memo starts on a block boundary at block x block size with an 8-byte
// big-endian header, type (1 text, 0 picture, 2 object) and length, followed by its bytes; it takes
// ceil((8 + length) / block size) blocks. Blocks inside the first 512 bytes are never used.
// .dbt (dBASE III): 512-byte blocks, the next free block little-endian at 0; a memo's text ends at
// the first 0x1A. (A block that begins FF FF 08 00 is read as dBASE IV's: length at 4, header
// included.)
//
// New memos are always written at the end of the file, which is where the header's next free
// block points in a sound file, and the header is then updated; old blocks are left, never
// overwritten, so a record keeps pointing at a whole memo whatever happens. The caller holds the
// table's header lock while it appends. Every size and pointer read from the file is checked against the
// file's size: a damaged file gives an ETableError, never a large allocation or an overrun. A read
// takes at most the bytes its caller asks for (a .dbt memo whose end mark is missing is not read
// to the end of a huge file) and says when there was more.
class MemoFile {
public:
    enum class Kind { Fpt, Dbt };

    static constexpr std::uint32_t kDefaultBlockSize = 64;
    // What a read takes unless its caller asks for less or more: the most the windows show.
    static constexpr std::size_t kReadLimit = std::size_t{1} << 20;

    // Creates an empty memo file (only .fpt files are created), as a NewFile: a file of that name
    // is replaced whole or not at all.
    // `probe` watches its writes, syncs and renames (see IoProbe).
    static void createFpt(const std::filesystem::path& path, std::uint32_t blockSize = kDefaultBlockSize,
                          IoProbe* probe = nullptr);

    // Opens and checks the header; throws ETableError when the file is missing or damaged.
    // `probe` watches its reads (see IoProbe).
    MemoFile(const std::filesystem::path& path, Kind kind, bool writable, IoProbe* probe = nullptr);

    Kind kind() const { return kind_; }
    std::uint32_t blockSize() const { return blockSize_; }
    const std::filesystem::path& path() const { return file_.path(); }

    // The bytes of the memo at `block` (block 0 is "no memo" and gives the empty text), at most
    // `limit` of them; `cut`, when given, says whether the memo holds more.
    std::string read(std::uint32_t block, std::size_t limit = kReadLimit, bool* cut = nullptr) const;
    // Writes a memo at the end of the file and returns its block number.
    std::uint32_t append(std::string_view data, std::uint32_t type = 1);
    void sync();

private:
    File file_;
    Kind kind_;
    std::uint32_t blockSize_ = 512;
};

} // namespace arrowsel::data
