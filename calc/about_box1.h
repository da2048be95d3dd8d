// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <array>
#include <filesystem>
#include <string>

class QLabel;
class QScrollArea;

namespace arrowsel::widgets {
class TLinkLabel;
}

namespace arrowsel::calc {

// The shaft models guide of one page, named by its tag (the main window's TmpLbl2: "Hunt", "Targ",
// "Youth" or "Orvk"): the page's guide picture in a scrolled box, the caption and the link to the
// maker's online guide. The pictures are read from `dataFolder`. What shows is set again on every
// activation.
class TAboutBox1 : public QDialog {
    Q_OBJECT
public:
    TAboutBox1(const std::filesystem::path& dataFolder, std::string pageTag, QWidget* parent = nullptr);

    void FormActivate();
    void KECloseBtnClick();

protected:
    bool event(QEvent* event) override;

private:
    const std::string pageTag_;
    QScrollArea* scrollBox_;
    std::array<QLabel*, 3> images_{};
    std::array<widgets::TLinkLabel*, 4> links_{};
};

} // namespace arrowsel::calc
