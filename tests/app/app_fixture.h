// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tests/support/temp_dir.h"

#include <filesystem>
#include <map>
#include <string>

namespace arrowsel::test {

// A data folder with small charts and a specification table written by the test.
//
// Hunting row 13 (the start setup's row) holds real-looking cells; every other chart row r has a
// marker in cell 1 ("R<r>") so a test can see which row a run chose. Target rows have sizes
// "c1" to "c14" with spine "r<r>"; Youth and Orvik rows "R<r>" with model "M", and row 8 (the
// youth start row) and row 15 (the Orvik start row) real cells.
class AppFixture {
public:
    AppFixture();
    const std::filesystem::path& folder() const { return dir_.path(); }
    static constexpr const char* kNotice = "Your selection is outside the chart.";

private:
    TempDir dir_;
};

} // namespace arrowsel::test
