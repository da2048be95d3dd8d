// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer harness for the note a replacement of a folder's customer files leaves behind when it
// is killed: the input is the note, in a folder holding the customer files and a staging folder
// with new ones. Completing it may only end in EBookError, and whatever it says, nothing outside
// the folder is moved, removed or made.

#include "fuzz/table_fuzz.h"
#include "records/book_replace.h"
#include "records/customer_book.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace arrowsel::records;
namespace fs = std::filesystem;

namespace {

void put(const fs::path& path, const std::string& text) {
    arrowsel::fuzz::writeBytes(path, text.data(), text.size());
}

std::size_t entries(const fs::path& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) {
        ++n;
    }
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path work = arrowsel::fuzz::workFolder();
    const fs::path folder = work / "book";
    fs::remove_all(folder);
    fs::create_directories(folder / ".customers-new-1");
    for (const char* name : {"Saveddb.dbf", "Saveddb.fpt", "Saved.idx"}) {
        put(folder / name, "old");
        put(folder / ".customers-new-1" / name, "new");
    }
    put(work / "outside", "outside");
    const std::size_t around = entries(work);
    arrowsel::fuzz::writeBytes(folder / ".customers-replacing", data, size);
    try {
        finishReplacement(folder);
    } catch (const EBookError&) {
    }
    if (entries(work) != around || !fs::is_regular_file(work / "outside") || fs::file_size(work / "outside") != 7) {
        std::abort(); // the note reached outside its folder
    }
    return 0;
}
