#include "engine/selection.h"

#include "data/dbf_table.h"
#include "data/table_error.h"
#include "engine/chart_rules.h"
#include "engine/conversions.h"
#include "engine/file_lookup.h"
#include "engine/notice_file.h"

#include <stdexcept>

namespace arrowsel::engine {

namespace {

using data::TDbfTable;

// Removes up to 15 characters from the first `mark` on; a text without it stays whole.
std::string cutAt(std::string s, char mark) {
    const auto pos = s.find(mark);
    if (pos != std::string::npos) {
        s.erase(pos, 15);
    }
    return s;
}

std::size_t characterCount(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++n;
        }
    }
    return n;
}

void makeBlank(Cell& cell) {
    cell.shown = false;
    cell.keyFound.reset();
    cell.sizeEnabled = false;
    cell.size.clear();
    cell.spine.clear();
    cell.model.clear();
    cell.weight.clear();
}

// Captions that are about to be written: the cell shows again even when a run without the resets
// (Youth and Orvik pages with an unguarded input) fills a cell that was blank before.
void makeShown(Cell& cell) {
    cell.shown = true;
    cell.sizeEnabled = true;
    cell.keyFound.reset();
}

} // namespace

int cellCount(Page page) {
    switch (page) {
    case Page::Hunt:
        return 17;
    case Page::Targ:
        return 13;
    case Page::Youth:
        return 8;
    case Page::Orvk:
        return 7;
    }
    return 0;
}

const char* pageTag(Page page) {
    switch (page) {
    case Page::Hunt:
        return "Hunt";
    case Page::Targ:
        return "Targ";
    case Page::Youth:
        return "Youth";
    case Page::Orvk:
        return "Orvk";
    }
    return "";
}

std::optional<Page> pageFromTag(std::string_view tag) {
    for (Page p : {Page::Hunt, Page::Targ, Page::Youth, Page::Orvk}) {
        if (tag == pageTag(p)) {
            return p;
        }
    }
    return std::nullopt;
}

struct SelectionEngine::Impl {
    std::filesystem::path folder;
    std::array<TDbfTable, kPageCount> charts;
    TDbfTable specs;
    std::array<std::vector<Cell>, kPageCount> grids;
    std::array<std::string, 13> spineLabels;
    std::string pageTag;
    std::function<void(const std::string&)> noticeHandler;

    // The inputs as the window's controls hold them during a run; a notice may change a weight.
    BowSetup in;
    SelectionResult* out = nullptr;

    explicit Impl(std::filesystem::path dataFolder) : folder(std::move(dataFolder)) {
        for (Page p : {Page::Hunt, Page::Targ, Page::Youth, Page::Orvk}) {
            grids[static_cast<std::size_t>(p)].resize(static_cast<std::size_t>(cellCount(p)));
        }
    }

    std::vector<Cell>& grid(Page p) { return grids[static_cast<std::size_t>(p)]; }
    TDbfTable& chart(Page p) { return charts[static_cast<std::size_t>(p)]; }

    void openTables(Page page) {
        TDbfTable& table = chart(page);
        if (!table.isOpen()) {
            table.open(folder / chartFileName(page), TDbfTable::OpenMode::ReadOnly);
        }
        if (!specs.isOpen()) {
            specs.open(folder / kSpecsFile, TDbfTable::OpenMode::ReadOnly);
        }
        // Nothing else uses this table object, so the order opened once stays the controlling one.
        if (!specs.hasControllingIndex()) {
            specs.openIndexFile(kSpecsIndexFile);
        }
    }

    // The out-of-range notice: shown, then the weight edit gets its default text, and a changed
    // text runs the selection again before this run goes on.
    void notice(bool youth) {
        std::string text = readNotice(folder);
        out->notices.push_back(text);
        if (noticeHandler) {
            noticeHandler(text);
        }
        std::string& edit = youth ? in.youthBowWeight : in.bowWeight;
        const char* defaultText = youth ? "30" : "60";
        if (edit != defaultText) {
            edit = defaultText;
            runOnce();
        }
    }

    // GPI times the arrow length plus 0.5, in whole grains: the number's text cut at its ".".
    static std::string shaftWeight(std::string_view gpi, std::string_view lengthText) {
        const double perInch = toNumber(gpi);
        const double grains = perInch * toInteger(lengthText) + 0.5;
        return cutAt(numberText(grains), '.');
    }

    // Two shafts of one model: GPI holds two four-character values, at 1 to 4 and 6 to 9.
    static std::string twoModelWeight(const std::string& gpi, std::string_view lengthText) {
        std::string a = shaftWeight(firstGpiFigure(gpi), lengthText);
        std::string b = shaftWeight(secondGpiFigure(gpi), lengthText);
        return a + "," + b;
    }

    // The texts of the shaft a cell's key leads to. The seek's outcome is only noted: on a miss the
    // table stands on its last record in index order, and the cell shows that record.
    struct ShaftTexts {
        std::string model;
        std::string spine;
        std::string gpi;
    };
    ShaftTexts seekShaft(Cell& cell, const std::string& key, const char* modelsField) {
        try {
            cell.keyFound = specs.seek(key);
            return {trimBlanks(specs.fieldText(modelsField)), specs.fieldText("SPINE"), specs.fieldText("GPI")};
        } catch (const data::ETableError&) {
            // The page shows no shaft rather than a mix of this setup's and another's.
            for (Cell& c : grid(in.page)) {
                makeBlank(c);
            }
            throw;
        }
    }

    // The weight caption of a Hunting or Target cell, which may stand for two models of one shaft.
    static std::string cellWeight(Page page, int cellNumber, const ShaftTexts& shaft, std::string_view lengthText) {
        return readsTwoGpiFigures(page, cellNumber, shaft.model) ? twoModelWeight(shaft.gpi, lengthText)
                                                                 : shaftWeight(shaft.gpi, lengthText);
    }

    void runOnce() {
        const bool guard = characterCount(in.bowWeight) >= 2 && characterCount(in.arrowLength) == 2 &&
                           characterCount(in.pointWeight) >= 2;
        if (guard) {
            toInteger(in.bowWeight);
            resets();
            if (in.page == Page::Hunt) {
                hunting();
            }
            if (in.page == Page::Targ) {
                target();
            }
        }
        if (in.page == Page::Youth) {
            youth();
        }
        if (in.page == Page::Orvk) {
            orvik();
        }
    }

    void resets() {
        for (auto& g : grids) {
            for (Cell& c : g) {
                c.sizeEnabled = true;
                c.shown = true;
            }
        }
        out->resetsApplied = true;
    }

    void hunting() {
        pageTag = "Hunt";
        out->pageRulesRan = true;
        const int bowType = in.bowType;

        long long w = toInteger(in.bowWeight);
        if (bowType == 0) {
            if (in.braceHt == 1) {
                w += 5;
            }
            if (in.releaseType == 1) {
                w += 5;
            }
            static constexpr int overdraw[] = {0, 1, 3, 6, 9, 12};
            if (in.overDraw >= 0 && in.overDraw <= 5) {
                w += overdraw[in.overDraw];
            }
        }
        if (bowType == 0 || bowType == 1) {
            const int p = toInteger(in.pointWeight);
            if (p >= 65 && p <= 85) {
                w -= 3;
            } else if (p >= 115 && p <= 135) {
                w += 3;
            } else if (p >= 140 && p <= 160) {
                w += 6;
            }
        } else if (bowType == 2) {
            const int p = toInteger(in.pointWeight);
            if (p >= 105 && p <= 125) {
                w += 3;
            } else if (p >= 130 && p <= 150) {
                w += 6;
            } else if (p >= 155 && p <= 160) {
                w += 9;
            }
        }

        const long long b = bucketOf(w, huntingBands(bowType, in.huntCamType)).value_or(0);
        const long long r = b + toInteger(in.arrowLength) - (bowType == 2 ? 25 : 23);

        openTables(Page::Hunt);
        TDbfTable& table = chart(Page::Hunt);
        if (!chartRows(Page::Hunt).holds(r)) {
            notice(false);
        } else {
            table.go(static_cast<std::uint32_t>(r));
        }

        std::vector<Cell>& cells = grid(Page::Hunt);
        for (Cell& c : cells) {
            c.band = ColorBand::Plain;
        }
        const std::array<ColorBand, 4> bands = huntingRowBands(r);
        for (std::size_t i = 0; i < bands.size(); ++i) {
            cells[i].band = bands[i];
        }
        for (std::size_t i = 4; i <= 8; ++i) {
            cells[i].weightEnabled = false;
        }

        for (int n = 1; n <= 17; ++n) {
            Cell& cell = cells[static_cast<std::size_t>(n - 1)];
            const auto text =
                huntingCell(n, table.fieldText(sizeFieldName(n)), table.fieldText(secondFieldName(Page::Hunt, n)));
            if (!text) {
                makeBlank(cell);
                continue;
            }
            const std::string& size = text->size;
            makeShown(cell);
            if (isCarbonCell(n, *text)) {
                cell.size = size;
                cell.sizeEnabled = false;
                cell.model = "Carbon";
                cell.spine = "0." + size;
                cell.weight = "Details";
                if (n <= 9) {
                    cell.weightEnabled = true;
                }
                continue;
            }
            if (n >= 4 && n <= 9) {
                cell.weightEnabled = false;
            }
            const ShaftTexts shaft = seekShaft(cell, text->key(), "HMODELS");
            cell.size = size;
            cell.model = shaft.model;
            cell.spine = shaft.spine;
            cell.weight = cellWeight(Page::Hunt, n, shaft, in.arrowLength);
        }
    }

    void target() {
        std::vector<Cell>& cells = grid(Page::Targ);
        for (Cell& c : cells) {
            c.size.clear();
        }
        pageTag = "Targ";
        out->pageRulesRan = true;
        const int bowType = in.targBowType;
        openTables(Page::Targ);

        long long w = toInteger(in.bowWeight);
        if (bowType == 0) {
            if (in.braceHt == 1) {
                w += 5;
            }
            const int p = toInteger(in.pointWeight);
            if (p >= 105 && p <= 125) {
                w += 3;
            } else if (p >= 130 && p <= 150) {
                w += 6;
            } else if (p >= 155 && p <= 160) {
                w += 9;
            }
            static constexpr int overdraw[] = {0, 1, 3, 6, 9, 12};
            if (in.overDraw >= 0 && in.overDraw <= 5) {
                w += overdraw[in.overDraw];
            }
            w += 5LL * in.releaseType;
        }

        const std::optional<int> bucket = bucketOf(w, targetBands(bowType, in.wheelType));
        const long long length = toInteger(in.arrowLength);
        const long long r = bucket.value_or(0) + length - 23;
        TDbfTable& table = chart(Page::Targ);
        // A weight off every band is off the chart too, whatever row the length would give.
        if (!bucket || !chartRows(Page::Targ).holds(r)) {
            notice(false);
            for (Cell& c : grid(Page::Targ)) {
                makeBlank(c);
            }
            return;
        }
        table.go(static_cast<std::uint32_t>(r));

        const TargetLayout slots = targetLayout(bowType, r, isShortArrow(r, length));
        for (int k = 1; k <= 13; ++k) {
            const TargetSlot& slot = slots[static_cast<std::size_t>(k - 1)];
            Cell& cell = cells[static_cast<std::size_t>(k - 1)];
            const auto text = slot.column == 0 ? std::nullopt
                                               : targetCell(slot, table.fieldText(sizeFieldName(slot.column)),
                                                            table.fieldText(secondFieldName(Page::Targ, slot.column)));
            if (!text) {
                makeBlank(cell);
                continue;
            }
            makeShown(cell);
            const ShaftTexts shaft = seekShaft(cell, text->key(), "TMODELS");
            cell.size = text->size;
            spineLabels[static_cast<std::size_t>(k - 1)] = text->second;
            cell.model = shaft.model;
            cell.spine = shaft.spine;
            cell.weight = cellWeight(Page::Targ, k, shaft, in.arrowLength);
        }
    }

    void youth() {
        pageTag = "Youth";
        out->pageRulesRan = true;

        const int w = toInteger(in.youthBowWeight);
        openTables(Page::Youth);
        const long long b = bucketOf(w, youthBands()).value_or(0);
        const long long r = b + toInteger(in.youthArrowLength) - 21;
        TDbfTable& table = chart(Page::Youth);
        if (!chartRows(Page::Youth).holds(r)) {
            notice(true);
        } else {
            table.go(static_cast<std::uint32_t>(r));
        }

        std::vector<Cell>& cells = grid(Page::Youth);
        for (int n = 1; n <= 8; ++n) {
            Cell& cell = cells[static_cast<std::size_t>(n - 1)];
            const auto text =
                youthCell(table.fieldText(sizeFieldName(n)), table.fieldText(secondFieldName(Page::Youth, n)));
            if (!text) {
                makeBlank(cell);
                continue;
            }
            makeShown(cell);
            const ShaftTexts shaft = seekShaft(cell, text->key(), "TMODELS");
            cell.size = text->size;
            cell.model = shaft.model;
            cell.weight = shaftWeight(shaft.gpi, in.youthArrowLength);
            cell.spine = shaft.spine;
        }
    }

    void orvik() {
        pageTag = "Orvk";
        out->pageRulesRan = true;
        const int bowType = in.targBowType;

        long long w = toInteger(in.bowWeight);
        openTables(Page::Orvk);
        if (bowType == 0) {
            w += 5LL * in.releaseType;
            if (in.braceHt == 1) {
                w += 5;
            }
            if (toInteger(in.pointWeight) > 100) {
                w += 3;
            }
        }
        const std::optional<int> bucket = bucketOf(w, orvikBands(bowType, in.huntCamType));
        const long long r = static_cast<long long>(bucket.value_or(0)) + toInteger(in.arrowLength) - 23;
        TDbfTable& table = chart(Page::Orvk);
        if (bucket && chartRows(Page::Orvk).holds(r)) {
            table.go(static_cast<std::uint32_t>(r));
        } else {
            notice(false);
        }

        std::vector<Cell>& cells = grid(Page::Orvk);
        for (int n = 1; n <= 7; ++n) {
            Cell& cell = cells[static_cast<std::size_t>(n - 1)];
            const auto text =
                orvikCell(table.fieldText(sizeFieldName(n)), table.fieldText(secondFieldName(Page::Orvk, n)));
            if (!text) {
                makeBlank(cell);
                continue;
            }
            makeShown(cell);
            cell.size = text->size;
            const ShaftTexts shaft = seekShaft(cell, text->key(), "HMODELS");
            cell.model = shaft.model;
            cell.weight = shaftWeight(shaft.gpi, in.arrowLength);
            cell.spine = shaft.spine;
        }
    }
};

SelectionEngine::SelectionEngine(std::filesystem::path dataFolder)
    : impl_(std::make_unique<Impl>(std::move(dataFolder))) {}

SelectionEngine::~SelectionEngine() = default;

const std::filesystem::path& SelectionEngine::dataFolder() const {
    return impl_->folder;
}

SelectionResult SelectionEngine::run(const BowSetup& setup) {
    SelectionResult result;
    result.page = setup.page;
    impl_->in = setup;
    impl_->out = &result;
    try {
        impl_->runOnce();
    } catch (const EConvertError& e) {
        result.error = {RunError::Kind::Conversion, e.what()};
    } catch (const data::ETableError& e) {
        result.error = {RunError::Kind::Table, e.what()};
    } catch (const ENoticeFileError& e) {
        result.error = {RunError::Kind::File, e.what()};
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        // A file-system failure under the table engine ends the run like the engine's own errors.
        result.error = {RunError::Kind::Table, e.what()};
    }
    impl_->out = nullptr;
    result.pageTag = impl_->pageTag;
    result.grids = impl_->grids;
    result.spineLabels = impl_->spineLabels;
    result.bowWeight = impl_->in.bowWeight;
    result.youthBowWeight = impl_->in.youthBowWeight;
    return result;
}

void SelectionEngine::setNoticeHandler(std::function<void(const std::string&)> handler) {
    impl_->noticeHandler = std::move(handler);
}

const std::vector<Cell>& SelectionEngine::grid(Page page) const {
    return impl_->grids[static_cast<std::size_t>(page)];
}

const std::array<std::string, 13>& SelectionEngine::spineLabels() const {
    return impl_->spineLabels;
}

const std::string& SelectionEngine::pageTag() const {
    return impl_->pageTag;
}

const data::TDbfTable* SelectionEngine::chartTable(Page page) const {
    const TDbfTable& table = impl_->charts[static_cast<std::size_t>(page)];
    return table.isOpen() ? &table : nullptr;
}

std::string SelectionEngine::chartSecondField(Page page, int cell) const {
    const TDbfTable* table = chartTable(page);
    if (table == nullptr || cell < 1 || cell > chartColumns(page)) {
        return {};
    }
    const std::string& name = secondFieldName(page, cell);
    return table->fieldDef(name) ? table->fieldText(name) : std::string();
}

} // namespace arrowsel::engine
