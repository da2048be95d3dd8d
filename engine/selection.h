#pragma once

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

// The pages of the main window, in tab order.
enum class Page { Hunt = 0, Targ = 1, Youth = 2, Orvk = 3 };
inline constexpr int kPageCount = 4;

// Cells per page: Hunting 17, Target 13, Youth 8, Orvik 7.
int cellCount(Page page);
// "Hunt", "Targ", "Youth" or "Orvk": the page tag written into TmpLbl2.
const char* pageTag(Page page);
// Parses a page tag exactly as pageTag() writes it.
std::optional<Page> pageFromTag(std::string_view tag);

// A 24-bit colour in blue-green-red order (0x00BBGGRR).
using Color = std::uint32_t;

// The main window's inputs. Edit texts are passed as typed (they may be empty or no number);
// radio groups by item index, passed through unchanged (-1 = nothing chosen, and indexes past a
// group's items match no case). Defaults are the main window's start values.
struct BowSetup {
    std::string bowWeight = "60";        // BowWeightSpin
    std::string arrowLength = "30";      // ArrowLengthSpin
    std::string pointWeight = "100";     // PointWtSpin
    std::string youthBowWeight = "30";   // YouthBowWtSpin
    std::string youthArrowLength = "25"; // YouthArrowLenSpin
    int bowType = 0;                     // BowType
    int targBowType = 0;                 // TargBowType
    int huntCamType = 0;                 // HuntCamType
    int wheelType = 0;                   // WheelType
    int releaseType = 0;                 // ReleaseType
    int overDraw = 0;                    // OverDraw
    int braceHt = 0;                     // BraceHt
    Page page = Page::Hunt;              // ShaftsNB
};

// One recommended shaft: the four buttons of a grid row (size, spine, model, weight). `shown` is
// the ShowCaption flag of all four buttons; `color` is the colour of all four buttons, set only by
// the Hunting page (nullopt: never set, the button's own default).
struct Cell {
    std::string size;
    std::string spine;
    std::string model;
    std::string weight;
    bool shown = true;
    bool sizeEnabled = true;
    bool weightEnabled = true;
    std::optional<Color> color;
    // Whether the cell's specification seek found its key; nullopt when the cell sought nothing
    // (blank or carbon cells). A miss shows the last record in index order, never a fault the
    // user sees, so the data checks rely on this flag.
    std::optional<bool> keyFound;
};

// Input controls whose states a run sets.
enum class Control {
    BowType,
    TargBowType,
    HuntCamType,
    WheelType,
    ReleaseType,
    OverDraw,
    BraceHt,
    BowWeightSpin,
    UpDown1,
    ArrowLengthSpin,
    UpDown2,
    PointWtSpin,
    UpDown4,
    YouthBowWtSpin,
    UpDown3,
    YouthArrowLenSpin,
    UpDown5,
    Label6,
};
inline constexpr int kControlCount = 18;
const char* controlName(Control control); // the control's object name, e.g. "BowWeightSpin"

// What a run wrote into one control; a property left nullopt was not touched by the run and keeps
// what the window shows. `color` is a radio group's ColorChecked and ColorLineFocus.
struct ControlState {
    std::optional<bool> visible;
    std::optional<bool> enabled;
    std::optional<Color> color;
    std::optional<Color> fontColor;
};

struct ControlStates {
    std::array<ControlState, kControlCount> states;
    // True when the resets of a guarded run happened: the size buttons' hint "Click for Weight
    // Calculation" (all but HSzBtn9 and HSzBtn17) and TSpBtn1 to TSpBtn13 made visible. The cells'
    // flags of those resets are already part of the grids.
    bool resetsApplied = false;

    ControlState& operator[](Control c) { return states[static_cast<std::size_t>(c)]; }
    const ControlState& operator[](Control c) const { return states[static_cast<std::size_t>(c)]; }
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
    std::string pageTag;                             // TmpLbl2 after the run (empty when no path ever ran)
    std::array<std::vector<Cell>, kPageCount> grids; // every page's cells as last written
    std::array<std::string, 13> spineLabels;         // TSP1LBL to TSP13LBL as last written
    ControlStates controls;                          // control properties written by this run, in order
    std::vector<std::string> notices;                // out-of-range notice texts, in the order shown
    std::string bowWeight;                           // BowWeightSpin text after the run
    std::string youthBowWeight;                      // YouthBowWtSpin text after the run
    RunError error;                                  // what ended the run early, if anything

    const std::vector<Cell>& cells() const { return grids[static_cast<std::size_t>(page)]; }
};

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
    // are returned in the result, with whatever the run wrote before them kept.
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
