// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <system_error>

namespace arrowsel::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "arrowsel-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

} // namespace arrowsel::test
