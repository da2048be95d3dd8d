#pragma once

#include "present/window_state.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace arrowsel::test {

// The main window as a plain record with radio groups of the real item counts. Every change is
// logged as the selection run it would start ("run:<what>"), so tests see which values changed.
class RecordsFakeMainWindow : public MainWindowState {
public:
    std::map<Edit, std::string> edits{{Edit::BowWeight, "60"},
                                      {Edit::ArrowLength, "30"},
                                      {Edit::PointWeight, "100"},
                                      {Edit::YouthBowWeight, "30"},
                                      {Edit::YouthArrowLength, "25"}};
    std::map<Group, int> indexes{{Group::BowType, 0},   {Group::TargBowType, 0}, {Group::HuntCamType, 0},
                                 {Group::WheelType, 0}, {Group::ReleaseType, 0}, {Group::OverDraw, 0},
                                 {Group::BraceHt, 0}};
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

    std::string editText(Edit edit) const override { return edits.at(edit); }
    int itemIndex(Group group) const override { return indexes.at(group); }
    Page page() const override { return shownPage; }
    std::string labelText(Label label) const override {
        if (label != Label::TmpLbl2) {
            return {};
        }
        static const char* tags[] = {"Hunt", "Targ", "Youth", "Orvk"};
        return tags[static_cast<int>(shownPage)];
    }
    std::string cellCaption(Page, int, Column) const override { return {}; }
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
        if (indexes[group] != clamped) {
            indexes[group] = clamped;
            runs.push_back("group:" + std::to_string(clamped));
        }
    }
};

} // namespace arrowsel::test
