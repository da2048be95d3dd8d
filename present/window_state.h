// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Part of the Qt-free presentation layer (present/): the side windows, the reports, the customer
// records and arrowsel-cli all see the main window through this interface, so it lives above the
// engine and below every window.

#include "engine/page.h"

#include <filesystem>
#include <string>

namespace arrowsel {

// The main window as the side windows and reports see it: the texts of its edits, the item
// indexes of its radio groups, the page that shows, its hidden working labels and the captions of
// its result grids. Side windows read and write the main window only through this interface, so
// they can be tested against a plain fake.
class MainWindowState {
public:
    enum class Edit { BowWeight, ArrowLength, PointWeight, YouthBowWeight, YouthArrowLength };
    enum class Group { BowType, TargBowType, HuntCamType, WheelType, ReleaseType, OverDraw, BraceHt };
    using Page = engine::Page;
    enum class Label { TmpLbl, SpcLbl, Mods, TmpLbl2 };
    enum class Column { Size, Spine, Model, Weight };

    virtual ~MainWindowState() = default;

    virtual std::string editText(Edit edit) const = 0;
    virtual int itemIndex(Group group) const = 0;
    virtual Page page() const = 0;
    virtual std::string labelText(Label label) const = 0;
    // Caption of one button of a result grid; rows count from 1.
    virtual std::string cellCaption(Page page, int row, Column column) const = 0;
    // The folder the data files are read from.
    virtual std::filesystem::path dataFolder() const = 0;

    // Restoring a setup: each call that changes a value runs the selection as the user's own
    // change would; an equal value runs nothing. Radio groups clamp the index to their items
    // (past the last: the last; below -1: -1).
    virtual void setPage(Page page) = 0;
    virtual void setEditText(Edit edit, const std::string& text) = 0;
    virtual void setItemIndex(Group group, int index) = 0;
};

} // namespace arrowsel
