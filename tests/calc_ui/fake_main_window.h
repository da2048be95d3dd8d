#pragma once

#include "present/window_state.h"

#include <map>
#include <string>

namespace arrowsel::test {

// The main window as a plain record: the side windows read what a test puts here.
class FakeMainWindow : public MainWindowState {
public:
    std::map<Edit, std::string> edits{{Edit::BowWeight, "60"},
                                      {Edit::ArrowLength, "30"},
                                      {Edit::PointWeight, "100"},
                                      {Edit::YouthBowWeight, "30"},
                                      {Edit::YouthArrowLength, "25"}};
    std::map<Label, std::string> labels;
    std::filesystem::path folder;
    Page shownPage = Page::Hunt;

    std::string editText(Edit edit) const override { return edits.at(edit); }
    int itemIndex(Group) const override { return 0; }
    Page page() const override { return shownPage; }
    std::string labelText(Label label) const override {
        const auto it = labels.find(label);
        return it == labels.end() ? std::string() : it->second;
    }
    std::string cellCaption(Page, int, Column) const override { return {}; }
    std::filesystem::path dataFolder() const override { return folder; }
    void setPage(Page p) override { shownPage = p; }
    void setEditText(Edit edit, const std::string& text) override { edits[edit] = text; }
    void setItemIndex(Group, int) override {}
};

} // namespace arrowsel::test
