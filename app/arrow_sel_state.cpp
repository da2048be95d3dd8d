// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as the side windows, the reports and the engine read it: the texts of its
// edits, its radio groups' indexes, the page, the hidden labels and the grids' captions, and the
// setters a restored setup goes through (each runs the selection as a user's change would).
#include "app/arrow_sel.h"
#include "engine/pages.h"
#include "ui/qt_text.h"
#include "widgets/cell_button.h"
#include "widgets/num_edit.h"
#include "widgets/page_control.h"
#include "widgets/radio_group.h"

#include <QLabel>
#include <algorithm>

namespace arrowsel::app {

using ui::toQt;
using widgets::TCellButton;

engine::BowSetup TArrowSel::readSetup() const {
    engine::BowSetup s;
    s.bowWeight = bowWeightSpin_->text().toStdString();
    s.arrowLength = arrowLengthSpin_->text().toStdString();
    s.pointWeight = pointWtSpin_->text().toStdString();
    s.youthBowWeight = youthBowWtSpin_->text().toStdString();
    s.youthArrowLength = youthArrowLenSpin_->text().toStdString();
    s.bowType = bowType_->itemIndex();
    s.targBowType = targBowType_->itemIndex();
    s.huntCamType = huntCamType_->itemIndex();
    s.wheelType = wheelType_->itemIndex();
    s.releaseType = releaseType_->itemIndex();
    s.overDraw = overDraw_->itemIndex();
    s.braceHt = braceHt_->itemIndex();
    s.page = page();
    return s;
}

std::string TArrowSel::editText(Edit edit) const {
    switch (edit) {
    case Edit::BowWeight:
        return bowWeightSpin_->text().toStdString();
    case Edit::ArrowLength:
        return arrowLengthSpin_->text().toStdString();
    case Edit::PointWeight:
        return pointWtSpin_->text().toStdString();
    case Edit::YouthBowWeight:
        return youthBowWtSpin_->text().toStdString();
    case Edit::YouthArrowLength:
        return youthArrowLenSpin_->text().toStdString();
    }
    return {};
}

namespace {
widgets::TRadioGroup* groupOf(MainWindowState::Group group, const std::array<widgets::TRadioGroup*, 7>& groups) {
    return groups[std::size_t(group)];
}
} // namespace

int TArrowSel::itemIndex(Group group) const {
    return groupOf(group, {bowType_, targBowType_, huntCamType_, wheelType_, releaseType_, overDraw_, braceHt_})
        ->itemIndex();
}

MainWindowState::Page TArrowSel::page() const {
    // The tab widget always holds the four pages, so only an index it never gives falls back.
    return engine::pageAt(shaftsNB_->currentIndex()).value_or(Page::Hunt);
}

std::string TArrowSel::labelText(Label label) const {
    switch (label) {
    case Label::TmpLbl:
        return tmpLbl_->text().toStdString();
    case Label::SpcLbl:
        return spcLbl_->text().toStdString();
    case Label::Mods:
        return mods_->text().toStdString();
    case Label::TmpLbl2:
        return tmpLbl2_->text().toStdString();
    }
    return {};
}

std::string TArrowSel::cellCaption(Page page, int row, Column column) const {
    const PageGrid& g = grids_[std::size_t(page)];
    if (row < 1 || row > int(g.size.size())) {
        return {};
    }
    const std::vector<TCellButton*>* columns[] = {&g.size, &g.spine, &g.model, &g.weight};
    return (*columns[std::size_t(column)])[std::size_t(row - 1)]->caption().toStdString();
}

std::filesystem::path TArrowSel::dataFolder() const {
    return engine_.dataFolder();
}

void TArrowSel::setPage(Page page) {
    shaftsNB_->setCurrentIndex(engine::pageIndex(page));
}

void TArrowSel::setEditText(Edit edit, const std::string& text) {
    widgets::TNumEdit* edits[] = {bowWeightSpin_, arrowLengthSpin_, pointWtSpin_, youthBowWtSpin_, youthArrowLenSpin_};
    edits[std::size_t(edit)]->setText(toQt(text));
}

void TArrowSel::setItemIndex(Group group, int index) {
    widgets::TRadioGroup* g =
        groupOf(group, {bowType_, targBowType_, huntCamType_, wheelType_, releaseType_, overDraw_, braceHt_});
    g->setItemIndex(std::clamp(index, -1, int(g->items().size()) - 1));
}

} // namespace arrowsel::app
