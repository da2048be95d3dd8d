// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a table operation reports when it fails, as text a test can compare.

#include "data/table_error.h"

#include <functional>
#include <string>

namespace arrowsel::test {

// The message of the ETableError `work` throws, or "(no error)" when it throws none.
inline std::string errorOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const data::ETableError& e) {
        return e.what();
    }
    return "(no error)";
}

inline bool contains(const std::string& s, const std::string& part) {
    return s.find(part) != std::string::npos;
}

} // namespace arrowsel::test
