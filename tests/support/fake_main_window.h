// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/selection.h"
#include "present/window_state.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace arrowsel::test {

// The main window as a plain record, for the side windows and the saved setups to
// read and write. Radio groups have the real item counts; every change a side window makes is
// logged as the selection run it would start ("edit:<text>", "group:<index>"), so tests see which
// values changed. TmpLbl2 holds the shown page's tag unless a test puts another text there.
class FakeMainWindow : public MainWindowState {
public:
    std::map<Edit, std::string> edits{{Edit::BowWeight, "60"},
                                      {Edit::ArrowLength, "30"},
                                      {Edit::PointWeight, "100"},
                                      {Edit::YouthBowWeight, "30"},
                                      {Edit::YouthArrowLength, "25"}};
    // A group left out reads as its first item.
    std::map<Group, int> indexes;
    std::map<Label, std::string> labels;
    std::map<std::tuple<Page, int, Column>, std::string> captions;
    Page shownPage = Page::Hunt;
    std::filesystem::path folder;
    std::vector<std::string> runs;

    static int itemCount(Group g) {
        switch (g) {
        case Group::BowType:
        case Group::WheelType:
            return 3;
        case Group::OverDraw:
            return 6;
        default:
            return 2;
        }
    }

    // Fills a page's grid with captions naming their place: "S3", "P3", "M3", "W3" for row 3.
    void fillGrid(Page page, int rows) {
        for (int r = 1; r <= rows; ++r) {
            const std::string n = std::to_string(r);
            captions[{page, r, Column::Size}] = "S" + n;
            captions[{page, r, Column::Spine}] = "P" + n;
            captions[{page, r, Column::Model}] = "M" + n;
            captions[{page, r, Column::Weight}] = "W" + n;
        }
    }

    std::string editText(Edit edit) const override { return edits.at(edit); }
    int itemIndex(Group group) const override {
        const auto it = indexes.find(group);
        return it == indexes.end() ? 0 : it->second;
    }
    Page page() const override { return shownPage; }
    std::string labelText(Label label) const override {
        if (const auto it = labels.find(label); it != labels.end()) {
            return it->second;
        }
        if (label != Label::TmpLbl2) {
            return {};
        }
        return engine::pageTag(shownPage);
    }
    std::string cellCaption(Page page, int row, Column column) const override {
        const auto it = captions.find({page, row, column});
        return it == captions.end() ? std::string() : it->second;
    }
    std::filesystem::path dataFolder() const override { return folder; }

    // Showing a page runs nothing by itself in the restore; a tab change by the user would.
    void setPage(Page p) override { shownPage = p; }
    void setEditText(Edit edit, const std::string& text) override {
        if (edits[edit] != text) {
            edits[edit] = text;
            runs.push_back("edit:" + text);
        }
    }
    void setItemIndex(Group group, int index) override {
        const int clamped = std::clamp(index, -1, itemCount(group) - 1);
        if (itemIndex(group) != clamped) {
            indexes[group] = clamped;
            runs.push_back("group:" + std::to_string(clamped));
        }
    }
};

} // namespace arrowsel::test
