// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <optional>

namespace arrowsel::engine {

// The pages of the main window. Every layer names a page by this one type; a tab index becomes a
// page only through pageAt(), so nothing depends on the order the enumerators are written in.
enum class Page { Hunt = 0, Targ = 1, Youth = 2, Orvk = 3 };
inline constexpr int kPageCount = 4;

// The pages in tab order.
inline constexpr std::array<Page, kPageCount> kPages{Page::Hunt, Page::Targ, Page::Youth, Page::Orvk};

// The page at tab index `index`; nullopt for an index that names no page (-1: no tab).
constexpr std::optional<Page> pageAt(int index) {
    if (index < 0 || index >= kPageCount) {
        return std::nullopt;
    }
    return kPages[static_cast<std::size_t>(index)];
}

// The tab index of `page`: the inverse of pageAt().
constexpr int pageIndex(Page page) {
    for (int i = 0; i < kPageCount; ++i) {
        if (kPages[static_cast<std::size_t>(i)] == page) {
            return i;
        }
    }
    return 0;
}

} // namespace arrowsel::engine
