// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer harness for the .fpt memo parser: the input is the memo file of a fixed, valid FoxPro
// 2.x table whose records point at many blocks (inside the header, at the first usable block, far
// past the end); every memo is read, then the table appends one memo to the fuzzed file.

#include "fuzz/table_fuzz.h"

#include <string>

using namespace arrowsel;

namespace {

std::string le32(std::uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

std::string fixedTable() {
    const char* const pointers[] = {"1", "2", "8", "9", "10", "16", "100", "4096", "16777215", "4294967295", ""};
    const std::uint32_t count = sizeof pointers / sizeof pointers[0];
    std::string h(32, '\0');
    h[0] = static_cast<char>(0xF5);
    h.replace(4, 4, le32(count));
    h[8] = static_cast<char>(32 + 2 * 32 + 1);
    h[10] = 1 + 5 + 10;
    h[29] = 3;
    std::string name(32, '\0');
    name.replace(0, 4, "NAME");
    name[11] = 'C';
    name[12] = 1;
    name[16] = 5;
    std::string notes(32, '\0');
    notes.replace(0, 5, "NOTES");
    notes[11] = 'M';
    notes[12] = 6;
    notes[16] = 10;
    h += name + notes + "\x0D";
    for (const char* p : pointers) {
        std::string ptr(p);
        h += " name " + std::string(10 - ptr.size(), ' ') + ptr;
    }
    h += '\x1A';
    return h;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string table = fixedTable();
    const std::filesystem::path path = fuzz::workFolder() / "m.dbf";
    fuzz::writeBytes(path, table.data(), table.size());
    fuzz::writeBytes(fuzz::workFolder() / "m.fpt", data, size);
    fuzz::readEverything(path, data::TDbfTable::OpenMode::ReadOnly);
    try {
        data::TDbfTable t;
        t.open(path, data::TDbfTable::OpenMode::Exclusive);
        t.insert();
        t.setFieldText("NOTES", "appended memo");
        t.post();
        (void)t.fieldText("NOTES");
    } catch (const data::ETableError&) {
    }
    return 0;
}
