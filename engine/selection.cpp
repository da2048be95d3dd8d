// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/selection.h"

#include "data/dbf_table.h"
#include "data/table_error.h"
#include "data/text.h"
#include "engine/chart_rules.h"
#include "engine/conversions.h"
#include "engine/file_lookup.h"
#include "engine/notice_file.h"

#include <stdexcept>

namespace arrowsel::engine {

namespace {

using data::TDbfTable;

void makeBlank(Cell& cell) {
    cell.shown = false;
    cell.keyFound.reset();
    cell.carbon = false;
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
    return pageFacts(page).cells;
}

const char* pageTag(Page page) {
    return pageFacts(page).tag;
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

    // Keeps the inputs and the result of the run under way while another run is made, and gives
    // them back when it ends.
    class OwnInputs {
    public:
        explicit OwnInputs(Impl& d) : d_(d), in_(d.in), out_(d.out) {}
        ~OwnInputs() {
            d_.in = std::move(in_);
            d_.out = out_;
        }
        OwnInputs(const OwnInputs&) = delete;
        OwnInputs& operator=(const OwnInputs&) = delete;
        OwnInputs(OwnInputs&&) = delete;
        OwnInputs& operator=(OwnInputs&&) = delete;

    private:
        Impl& d_;
        BowSetup in_;
        SelectionResult* out_;
    };

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
        const char* defaultText = pageFacts(youth ? Page::Youth : Page::Hunt).defaultWeight;
        if (edit != defaultText) {
            edit = defaultText;
            runOnce();
        }
    }

    // GPI times the arrow length plus 0.5, in whole grains: the number's text cut at its ".".
    static std::string shaftWeight(std::string_view gpi, std::string_view lengthText) {
        const double perInch = toNumber(gpi);
        const double grains = perInch * toInteger(lengthText) + 0.5;
        return data::cutAtMark(numberText(grains), '.');
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
            return {std::string(data::trimControlsAndSpaces(specs.fieldText(modelsField))), specs.fieldText("SPINE"),
                    specs.fieldText("GPI")};
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
        const bool guard = data::utf8Length(in.bowWeight) >= 2 && data::utf8Length(in.arrowLength) == 2 &&
                           data::utf8Length(in.pointWeight) >= 2;
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

    // A shown cell from its chart text and the shaft its key leads to. The seek comes first: when
    // it fails the page is blanked and nothing of this cell is written. The captions follow in the
    // page's own order, because a weight that cannot be computed ends the run there and the cell
    // keeps whatever the later captions showed before: the Hunting and Target pages write size,
    // (Target: the chart's spine label,) model, spine, then weight; Youth and Orvik write the
    // weight before the spine.
    void showShaft(Page page, int n, Cell& cell, const CellText& text, std::string_view lengthText) {
        const ShaftTexts shaft = seekShaft(cell, text.key(), modelsField(page));
        cell.size = text.size;
        if (page == Page::Targ) {
            spineLabels[static_cast<std::size_t>(n - 1)] = text.second;
            cell.keyDetail = text.second;
        }
        cell.model = shaft.model;
        if (page == Page::Hunt || page == Page::Targ) {
            cell.spine = shaft.spine;
            cell.weight = cellWeight(page, n, shaft, lengthText);
            cell.carbon = false;
        } else {
            cell.weight = cellWeight(page, n, shaft, lengthText);
            cell.carbon = false;
            cell.spine = shaft.spine;
        }
    }

    // Goes to chart row `r`, or gives the out-of-range notice (which may run the selection again
    // and leave the chart on the nested run's row).
    void goToRow(Page page, long long r, bool onChart) {
        if (onChart && chartRows(page).holds(r)) {
            chart(page).go(static_cast<std::uint32_t>(r));
        } else {
            notice(page == Page::Youth);
        }
    }

    void hunting() {
        pageTag = "Hunt";
        out->pageRulesRan = true;
        const int bowType = in.bowType;
        const long long w = adjustedWeight(Page::Hunt, toInteger(in.bowWeight), in);
        const long long b = bucketOf(w, huntingBands(bowType, in.huntCamType)).value_or(0);
        const long long r = b + toInteger(in.arrowLength) - (bowType == 2 ? 25 : 23);
        openTables(Page::Hunt);
        goToRow(Page::Hunt, r, true);
        huntingBandsAndWeights(r);
        huntingCells();
    }

    void huntingBandsAndWeights(long long r) {
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
    }

    void huntingCells() {
        TDbfTable& table = chart(Page::Hunt);
        std::vector<Cell>& cells = grid(Page::Hunt);
        for (int n = 1; n <= cellCount(Page::Hunt); ++n) {
            Cell& cell = cells[static_cast<std::size_t>(n - 1)];
            // The spine field is read before the size field, so that a chart lacking both is
            // reported by the spine field's name, as it has always been.
            const std::string second = table.fieldText(secondFieldName(Page::Hunt, n));
            const std::string size = table.fieldText(sizeFieldName(n));
            cell.keyDetail = data::trimSpaces(second);
            const auto text = huntingCell(n, size, second);
            if (!text) {
                makeBlank(cell);
                continue;
            }
            makeShown(cell);
            if (isCarbonCell(n, *text)) {
                cell.size = text->size;
                cell.sizeEnabled = false;
                cell.model = ARROWSEL_TR_NOOP("Cell", "Carbon");
                cell.spine = "0." + text->size;
                cell.weight = ARROWSEL_TR_NOOP("Cell", "Details");
                cell.carbon = true;
                if (n <= 9) {
                    cell.weightEnabled = true;
                }
                continue;
            }
            if (n >= 4 && n <= 9) {
                cell.weightEnabled = false;
            }
            showShaft(Page::Hunt, n, cell, *text, in.arrowLength);
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
        const long long w = adjustedWeight(Page::Targ, toInteger(in.bowWeight), in);
        const std::optional<int> bucket = bucketOf(w, targetBands(bowType, in.wheelType));
        const long long length = toInteger(in.arrowLength);
        const long long r = bucket.value_or(0) + length - 23;
        // A weight off every band is off the chart too, whatever row the length would give.
        if (!bucket || !chartRows(Page::Targ).holds(r)) {
            notice(false);
            for (Cell& c : cells) {
                makeBlank(c);
            }
            return;
        }
        chart(Page::Targ).go(static_cast<std::uint32_t>(r));

        TDbfTable& table = chart(Page::Targ);
        const TargetLayout slots = targetLayout(bowType, r, isShortArrow(r, length));
        for (int k = 1; k <= cellCount(Page::Targ); ++k) {
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
            showShaft(Page::Targ, k, cell, *text, in.arrowLength);
        }
    }

    // The Youth and Orvik cells: column n feeds cell n.
    void plainCells(Page page, std::string_view lengthText) {
        TDbfTable& table = chart(page);
        std::vector<Cell>& cells = grid(page);
        for (int n = 1; n <= cellCount(page); ++n) {
            Cell& cell = cells[static_cast<std::size_t>(n - 1)];
            const std::string& size = table.fieldText(sizeFieldName(n));
            const std::string& second = table.fieldText(secondFieldName(page, n));
            cell.keyDetail = data::trimSpaces(second);
            const auto text = page == Page::Youth ? youthCell(size, second) : orvikCell(size, second);
            if (!text) {
                makeBlank(cell);
                continue;
            }
            makeShown(cell);
            showShaft(page, n, cell, *text, lengthText);
        }
    }

    void youth() {
        pageTag = "Youth";
        out->pageRulesRan = true;
        const int w = toInteger(in.youthBowWeight);
        openTables(Page::Youth);
        const long long b = bucketOf(w, youthBands()).value_or(0);
        goToRow(Page::Youth, b + toInteger(in.youthArrowLength) - 21, true);
        plainCells(Page::Youth, in.youthArrowLength);
    }

    void orvik() {
        pageTag = "Orvk";
        out->pageRulesRan = true;
        const long long bowWeight = toInteger(in.bowWeight);
        openTables(Page::Orvk);
        const long long w = adjustedWeight(Page::Orvk, bowWeight, in);
        const std::optional<int> bucket = bucketOf(w, orvikBands(in.targBowType, in.huntCamType));
        const long long r = static_cast<long long>(bucket.value_or(0)) + toInteger(in.arrowLength) - 23;
        goToRow(Page::Orvk, r, bucket.has_value());
        plainCells(Page::Orvk, in.arrowLength);
    }
};

BowSetup settledSetup(BowSetup setup, const SelectionResult& result) {
    setup.bowWeight = result.bowWeight;
    setup.youthBowWeight = result.youthBowWeight;
    return setup;
}

SelectionEngine::SelectionEngine(std::filesystem::path dataFolder)
    : impl_(std::make_unique<Impl>(std::move(dataFolder))) {}

SelectionEngine::~SelectionEngine() = default;

const std::filesystem::path& SelectionEngine::dataFolder() const {
    return impl_->folder;
}

SelectionResult SelectionEngine::run(const BowSetup& setup) {
    // A run started while another is under way (from a notice handler) has inputs and a result
    // of its own; the outer run then goes on with its own from the tables as the inner one left
    // them, as it does after the nested run of its notice.
    const Impl::OwnInputs own(*impl_);
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

} // namespace arrowsel::engine
