// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <array>

class QLabel;
class QScrollArea;

namespace arrowsel {
class MainWindowState;
}

namespace arrowsel::widgets {
class TLinkLabel;
}

namespace arrowsel::calc {

// The shaft models guide of the page the main window shows (its TmpLbl2 tag): the page's guide
// picture in a scrolled box, the caption and the link to the maker's online guide. The page is
// read again on every activation.
class TAboutBox1 : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox1(const MainWindowState& mainWindow, QWidget* parent = nullptr);

    void FormActivate();
    void KECloseBtnClick();

protected:
    bool event(QEvent* event) override;

private:
    const MainWindowState& main_;
    QScrollArea* scrollBox_;
    std::array<QLabel*, 3> images_{};
    std::array<widgets::TLinkLabel*, 4> links_{};
};

} // namespace arrowsel::calc
