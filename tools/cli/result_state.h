// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/selection.h"
#include "present/window_state.h"

#include <filesystem>
#include <string>
#include <utility>

namespace arrowsel::cli {

// The main window as a report sees it after the selection ran: the setup's inputs (the weight
// texts as the run left them) and the grids the run wrote.
class ResultWindowState : public MainWindowState {
public:
    ResultWindowState(const engine::BowSetup& setup, const engine::SelectionResult& result,
                      std::filesystem::path dataFolder)
        : setup_(setup), result_(result), dataFolder_(std::move(dataFolder)) {}

    std::string editText(Edit edit) const override {
        switch (edit) {
        case Edit::BowWeight:
            return result_.bowWeight;
        case Edit::ArrowLength:
            return setup_.arrowLength;
        case Edit::PointWeight:
            return setup_.pointWeight;
        case Edit::YouthBowWeight:
            return result_.youthBowWeight;
        case Edit::YouthArrowLength:
            return setup_.youthArrowLength;
        }
        return {};
    }
    int itemIndex(Group group) const override {
        switch (group) {
        case Group::BowType:
            return setup_.bowType;
        case Group::TargBowType:
            return setup_.targBowType;
        case Group::HuntCamType:
            return setup_.huntCamType;
        case Group::WheelType:
            return setup_.wheelType;
        case Group::ReleaseType:
            return setup_.releaseType;
        case Group::OverDraw:
            return setup_.overDraw;
        case Group::BraceHt:
            return setup_.braceHt;
        }
        return -1;
    }
    Page page() const override { return setup_.page; }
    std::string labelText(Label label) const override {
        switch (label) {
        case Label::TmpLbl2:
            return result_.pageTag;
        case Label::TmpLbl:
            return shaft_.key;
        case Label::SpcLbl:
            return shaft_.size;
        case Label::Mods:
            return shaft_.models;
        }
        return {};
    }
    // The shaft a size click on the grid would have chosen (the hidden labels TmpLbl, SpcLbl, Mods).
    void chooseShaft(std::string key, std::string size, std::string models) {
        shaft_ = {std::move(key), std::move(size), std::move(models)};
    }
    std::string cellCaption(Page page, int row, Column column) const override {
        const auto& grid = result_.grids[static_cast<std::size_t>(page)];
        if (row < 1 || row > static_cast<int>(grid.size())) {
            return {};
        }
        const engine::Cell& c = grid[static_cast<std::size_t>(row - 1)];
        switch (column) {
        case Column::Size:
            return c.size;
        case Column::Spine:
            return c.spine;
        case Column::Model:
            return c.model;
        case Column::Weight:
            return c.weight;
        }
        return {};
    }
    std::filesystem::path dataFolder() const override { return dataFolder_; }
    void setPage(Page) override {}
    void setEditText(Edit, const std::string&) override {}
    void setItemIndex(Group, int) override {}

private:
    const engine::BowSetup& setup_;
    const engine::SelectionResult& result_;
    std::filesystem::path dataFolder_;
    struct {
        std::string key, size, models;
    } shaft_;
};

} // namespace arrowsel::cli
