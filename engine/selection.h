// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/page.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace arrowsel::data {
class TDbfTable;
}

namespace arrowsel::engine {

// Cells per page: Hunting 17, Target 13, Youth 8, Orvik 7.
int cellCount(Page page);
// "Hunt", "Targ", "Youth" or "Orvk": the tag of the page a run was last for.
const char* pageTag(Page page);
// Parses a page tag exactly as pageTag() writes it.
std::optional<Page> pageFromTag(std::string_view tag);

// The colour bands of the Hunting chart's first four columns, by how well a shaft fits the row.
// The presentation layer gives each band its colour.
enum class ColorBand { Plain, Yellow, Green, Orange };

// The main window's inputs. Edit texts are passed as typed (they may be empty or no number);
// radio groups by item index, passed through unchanged (-1 = nothing chosen, and indexes past a
// group's items match no case). Defaults are the main window's start values.
struct BowSetup {
    std::string bowWeight = "60";        // adult bow weight, pounds
    std::string arrowLength = "30";      // adult arrow length, inches
    std::string pointWeight = "100";     // point weight, grains
    std::string youthBowWeight = "30";   // youth bow weight
    std::string youthArrowLength = "25"; // youth arrow length
    int bowType = 0;                     // Hunting: compound, recurve, longbow
    int targBowType = 0;                 // Target and Orvik: compound, recurve
    int huntCamType = 0;                 // cam (Hunting, Orvik)
    int wheelType = 0;                   // wheel (Target)
    int releaseType = 0;                 // release
    int overDraw = 0;                    // overdraw
    int braceHt = 0;                     // brace height
    Page page = Page::Hunt;              // the page shown
};

// One recommended shaft: the four buttons of a grid row (size, spine, model, weight). `shown` is
// whether the cell shows its captions; `band` is the cell's colour band, set only by the Hunting
// page (nullopt: never set).
struct Cell {
    std::string size;
    std::string spine;
    std::string model;
    std::string weight;
    bool shown = true;
    bool sizeEnabled = true;
    bool weightEnabled = true;
    std::optional<ColorBand> band;
    // Whether the cell's specification seek found its key; nullopt when the cell sought nothing
    // (blank or carbon cells). A miss shows the last record in index order, never a fault the
    // user sees, so the data checks rely on this flag.
    std::optional<bool> keyFound;
    // What follows the size in the specification key a click on the cell's size forms, from the
    // chart row the cell was last read from: the Target page's spine text of the cell's column,
    // else the row's spine or model field of the cell's column with its blanks trimmed (kept for a
    // blank cell too). Kept with the cell, so that the click forms the key of the captions it
    // shows without going to the chart again.
    std::string keyDetail;
    // The cell sums up carbon shafts whose weights depend on the components chosen: its weight
    // shows "Details" instead of a shaft's weight, and the reports describe the shafts below.
    bool carbon = false;
};

struct RunError {
    enum class Kind {
        None,
        Conversion, // "'%s' is not a valid integer value" / "... floating point value"
        Table,      // an ETableError of the table engine
        File,       // "invsel.txt" missing or unreadable
    };
    Kind kind = Kind::None;
    std::string message;

    explicit operator bool() const { return kind != Kind::None; }
};

// The outcome of one selection run, nested runs included.
struct SelectionResult {
    Page page = Page::Hunt;                          // the page the run was for
    std::string pageTag;                             // the last page run's tag (empty when no page ever ran)
    std::array<std::vector<Cell>, kPageCount> grids; // every page's cells as last written
    std::array<std::string, 13> spineLabels;         // the Target cells' spine texts as last written
    // Which steps of the run happened: the adult edits were complete, so the captions and
    // enabled flags were reset first; the page's own rules ran (a text that is no number in a
    // complete adult edit ends the run before either).
    bool resetsApplied = false;
    bool pageRulesRan = false;
    std::vector<std::string> notices; // out-of-range notice texts, in the order shown
    std::string bowWeight;            // adult bow weight text after the run
    std::string youthBowWeight;       // youth bow weight text after the run
    RunError error;                   // what ended the run early, if anything

    const std::vector<Cell>& cells() const { return grids[static_cast<std::size_t>(page)]; }
};

// The setup as the window's inputs hold it once `result`, the run of `setup`, is shown: the weight
// texts are those the run left (a notice resets them). What the printed reports take as the setup.
BowSetup settledSetup(BowSetup setup, const SelectionResult& result);

// The selection engine of the main window. It owns the chart tables and the specification table
// (opened on first use from the data folder, left open and positioned on the rows last used) and
// the grids of all four pages as last written, which the window's buttons mirror. Every input
// change runs run(); an out-of-range notice that changes a weight text performs the nested run
// itself, so the window should set the returned weight texts with their change signals blocked.
class SelectionEngine {
public:
    explicit SelectionEngine(std::filesystem::path dataFolder);
    ~SelectionEngine();
    SelectionEngine(const SelectionEngine&) = delete;
    SelectionEngine& operator=(const SelectionEngine&) = delete;

    const std::filesystem::path& dataFolder() const;

    // One selection run. Never throws for conversion, table or file errors: they end the run and
    // are returned in the result, with whatever the run wrote before them kept. A call from inside
    // a run (the notice handler) is a run of its own; the outer run then goes on with its own
    // inputs from the table positions the inner one left.
    SelectionResult run(const BowSetup& setup);

    // Called with each out-of-range notice text at the moment it is shown, before the weight edit
    // is reset and a nested run starts (a window may show its modal box here). Optional.
    void setNoticeHandler(std::function<void(const std::string&)> handler);

    // State as last written, for the windows that read it back (shaft detail, reports).
    const std::vector<Cell>& grid(Page page) const;
    const std::array<std::string, 13>& spineLabels() const;
    const std::string& pageTag() const;
    // The page's chart table standing on the row last chosen; null before its first use.
    const data::TDbfTable* chartTable(Page page) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace arrowsel::engine
