// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/selection.h"

// The facts of each page in one table: what the run, the data checks, the windows and
// arrowsel-cli know of a page beyond its rules. It sits in the engine, the lowest layer that knows
// pages, so that every layer above reads the same tag, chart file and default weight; how a page
// looks (its controls and colours) belongs to present/, not here.
namespace arrowsel::engine {

// The chart rows a page's run goes to; any other row gives the out-of-range notice.
struct RowRange {
    int first;
    int last;
    bool holds(long long row) const { return row >= first && row <= last; }
};

struct PageFacts {
    const char* tag;           // "Hunt": TmpLbl2 and the --page option
    const char* title;         // "Hunting": the page's tab and report titles
    const char* inText;        // "hunting": the page named inside a sentence
    const char* chartFile;     // "HUNTCHRT.DBF"
    int columns;               // size fields per chart record
    int cells;                 // cells of the page's grid
    RowRange rows;             // chart rows the run goes to
    const char* modelsField;   // the Specs.DBF field of the models a cell shows
    const char* defaultWeight; // the weight edit's text after the out-of-range notice
};
const PageFacts& pageFacts(Page page);

} // namespace arrowsel::engine
