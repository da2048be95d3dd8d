// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/pages.h"

#include "data/text.h"

#include <array>

namespace arrowsel::engine {

const PageFacts& pageFacts(Page page) {
    static constexpr std::array<PageFacts, kPageCount> facts{{
        {"Hunt", ARROWSEL_TR_NOOP("Page", "Hunting"), "hunting", "HUNTCHRT.DBF", 17, 17, {2, 18}, "HMODELS", "60"},
        {"Targ", ARROWSEL_TR_NOOP("Page", "Target"), "target", "Targchrt.dbf", 14, 13, {5, 19}, "TMODELS", "60"},
        {"Youth", ARROWSEL_TR_NOOP("Page", "Youth"), "youth", "YouthChrt.dbf", 8, 8, {1, 10}, "TMODELS", "30"},
        {"Orvk", ARROWSEL_TR_NOOP("Page", "Orvik"), "Orvik", "ORVKCHRT.dbf", 7, 7, {1, 19}, "HMODELS", "60"},
    }};
    return facts[static_cast<std::size_t>(page)];
}

} // namespace arrowsel::engine
