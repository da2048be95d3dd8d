// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's running: the selection run on every input change and its result applied to
// the controls, the clicks on the grids and the commands. The window is made in
// arrow_sel_build.cpp and arrow_sel_pages.cpp; what the side windows read is in arrow_sel_state.cpp.
#include "app/arrow_sel.h"

#include "app/about_box.h"
#include "app/help_window.h"
#include "present/control_states.h"
#include "ui/guarded.h"
#include "ui/message_seam.h"
#include "ui/qt_text.h"
#include "ui/translations.h"
#include "widgets/cell_button.h"
#include "widgets/colors.h"
#include "widgets/ink.h"
#include "widgets/num_edit.h"
#include "widgets/radio_group.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <algorithm>

namespace arrowsel::app {

using present::Control;
using ui::toQt;
using widgets::colorFromBgr;
using widgets::TCellButton;

void TArrowSel::centreOnScreen() {
    const QRect area = screen()->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    // A screen smaller than the window shows its top left corner, with the menu.
    move(std::max(frame.left(), area.left()), std::max(frame.top(), area.top()));
}

void TArrowSel::FindRec() {
    // The notice and the error box are modal: while one shows, a timer or an up-down's auto-repeat
    // may still change an input. Such a change starts no run inside this one; it is noted, and once
    // this run's result is on screen the selection runs again for the inputs as they then stand.
    if (running_) {
        rerunPending_ = true;
        return;
    }
    running_ = true;
    const auto done = qScopeGuard([this] { running_ = false; });
    do {
        rerunPending_ = false;
        ++runCount_;
        const engine::BowSetup setup = readSetup();
        lastResult_ = engine_.run(setup);
        applyResult(lastResult_, setup);
        if (lastResult_.error) {
            ui::MessageSeam::current().error(this, toQt(lastResult_.error.message));
        }
    } while (rerunPending_);
}

QWidget* TArrowSel::controlWidget(Control control) const {
    switch (control) {
    case Control::BowType:
        return bowType_;
    case Control::TargBowType:
        return targBowType_;
    case Control::HuntCamType:
        return huntCamType_;
    case Control::WheelType:
        return wheelType_;
    case Control::ReleaseType:
        return releaseType_;
    case Control::OverDraw:
        return overDraw_;
    case Control::BraceHt:
        return braceHt_;
    case Control::BowWeightSpin:
        return bowWeightSpin_;
    case Control::UpDown1:
        return upDowns_[0];
    case Control::ArrowLengthSpin:
        return arrowLengthSpin_;
    case Control::UpDown2:
        return upDowns_[1];
    case Control::PointWtSpin:
        return pointWtSpin_;
    case Control::UpDown4:
        return upDowns_[3];
    case Control::YouthBowWtSpin:
        return youthBowWtSpin_;
    case Control::UpDown3:
        return upDowns_[2];
    case Control::YouthArrowLenSpin:
        return youthArrowLenSpin_;
    case Control::UpDown5:
        return upDowns_[4];
    case Control::Label6:
        return label6_;
    }
    return nullptr;
}

namespace {

void applyControlState(QWidget* w, const present::ControlState& st) {
    if (st.visible) {
        w->setVisible(*st.visible);
        if (*st.visible) {
            w->raise(); // the overlapping adult and youth controls share one place
        }
    }
    if (st.enabled) {
        w->setEnabled(*st.enabled);
    }
    if (auto* g = qobject_cast<widgets::TRadioGroup*>(w)) {
        if (st.color) {
            g->setColorChecked(colorFromBgr(*st.color));
            g->setColorLineFocus(colorFromBgr(*st.color));
        }
        if (st.fontColor) {
            g->setFontColor(colorFromBgr(*st.fontColor));
        }
    } else if (auto* e = qobject_cast<widgets::TNumEdit*>(w)) {
        if (st.fontColor) {
            e->setFontColor(colorFromBgr(*st.fontColor));
        }
    } else if (auto* l = qobject_cast<QLabel*>(w); l && st.fontColor) {
        widgets::keepChosenInk(*l, colorFromBgr(*st.fontColor));
    }
}

} // namespace

void TArrowSel::applyResult(const engine::SelectionResult& result, const engine::BowSetup& setup) {
    // Weight texts the run reset after a notice: the engine already ran with them, so the edits
    // take them without running again.
    auto setQuietly = [](QLineEdit* edit, const std::string& text) {
        const QString t = toQt(text);
        if (!text.empty() && edit->text() != t) {
            QSignalBlocker block(edit);
            edit->setText(t);
        }
    };
    setQuietly(bowWeightSpin_, result.bowWeight);
    setQuietly(youthBowWtSpin_, result.youthBowWeight);

    const present::ControlStates states = present::controlStates(result, setup);
    for (int i = 0; i < present::kControlCount; ++i) {
        const auto control = static_cast<Control>(i);
        applyControlState(controlWidget(control), states[control]);
    }
    if (states.resetsApplied) {
        resetCellHints();
    }
    applyCells(result);
    if (!result.pageTag.empty()) {
        chosen_.pageTag = result.pageTag;
        tmpLbl2_->setText(toQt(chosen_.pageTag));
    }
    for (std::size_t i = 0; i < result.spineLabels.size(); ++i) {
        tspLabels_[i]->setText(toQt(result.spineLabels[i]));
    }
}

void TArrowSel::resetCellHints() {
    const QString hint = tr("Click for Weight Calculation");
    for (const PageGrid& g : grids_) {
        for (std::size_t i = 0; i < g.size.size(); ++i) {
            const bool keepsDetailsHint = &g == &grids_[0] && (i == 8 || i == 16);
            if (!keepsDetailsHint) {
                g.size[i]->setHint(hint);
            }
        }
    }
    for (TCellButton* b : grids_[std::size_t(engine::Page::Targ)].spine) {
        b->setVisible(true);
    }
}

void TArrowSel::applyCells(const engine::SelectionResult& result) {
    for (std::size_t p = 0; p < grids_.size(); ++p) {
        const PageGrid& g = grids_[p];
        const std::vector<engine::Cell>& cells = result.grids[p];
        const std::size_t n = std::min(cells.size(), g.size.size());
        for (std::size_t i = 0; i < n; ++i) {
            const engine::Cell& cell = cells[i];
            const std::array<std::pair<TCellButton*, const std::string*>, 4> buttons{{{g.size[i], &cell.size},
                                                                                      {g.spine[i], &cell.spine},
                                                                                      {g.model[i], &cell.model},
                                                                                      {g.weight[i], &cell.weight}}};
            for (const auto& [b, text] : buttons) {
                // A carbon cell's model and weight are the program's words, not the chart's.
                const bool ownWords = cell.carbon && (b == g.model[i] || b == g.weight[i]);
                b->setCaption(ownWords ? ui::coreText("Cell", *text) : toQt(*text));
                b->setShowCaption(cell.shown);
                if (cell.band) {
                    b->setColor(colorFromBgr(present::bandColor(*cell.band)));
                }
                b->setColorMeaning(cell.band ? ui::coreText("ColorBand", present::bandDescription(*cell.band))
                                             : QString());
            }
            g.size[i]->setCellEnabled(cell.sizeEnabled);
            g.weight[i]->setCellEnabled(cell.weightEnabled);
        }
    }
}

void TArrowSel::TSzBtnClick(QObject* sender) {
    using engine::Page;
    for (const Page page : engine::kPages) {
        const PageGrid& g = grids_[std::size_t(engine::pageIndex(page))];
        const auto it = std::find(g.size.begin(), g.size.end(), sender);
        if (it == g.size.end()) {
            continue;
        }
        // The shaft is the cell as the last run wrote it, its chart texts included; before the
        // first run every cell is blank.
        const std::vector<engine::Cell>& cells = lastResult_.grids[std::size_t(engine::pageIndex(page))];
        const std::size_t row = std::size_t(it - g.size.begin());
        const engine::Cell blank;
        const engine::Cell& cell = row < cells.size() ? cells[row] : blank;
        chosen_.clickKey = cell.size + cell.keyDetail;
        chosen_.size = cell.size;
        chosen_.models = cell.model;
        tmpLbl_->setText(toQt(chosen_.clickKey));
        spcLbl_->setText(toQt(chosen_.size));
        mods_->setText(toQt(chosen_.models));
        break;
    }
    runCommand(Command::Specs);
}

void TArrowSel::HSzBtn3MouseEnter() {
    ui::MessageSeam::current().information(this, tr("Detailed specs for KRV shafts are not available."));
}

void TArrowSel::HWtBtn9Click() {
    cawtPanel_->show();
    cawtPanel_->raise();
    if (auto* first = grids_[0].size[9]; first->isEnabled()) {
        first->setFocus();
    } else {
        cawtPanel_->findChild<QPushButton*>(QStringLiteral("CAWTCloseBtn"))->setFocus();
    }
}

void TArrowSel::CloseCarbonBtn() {
    cawtPanel_->hide();
}

void TArrowSel::ExitBtn1Click() {
    close();
}

void TArrowSel::About1Click() {
    TAboutBox box(engine_.dataFolder(), this);
    ui::MessageSeam::current().execModal(box);
}

void TArrowSel::Contents1Click() {
    showHelpTopic(1, this);
}

void TArrowSel::setCommandHandler(Command command, std::function<void()> handler) {
    commands_[command] = std::move(handler);
}

void TArrowSel::runCommand(Command command) {
    if (auto it = commands_.find(command); it != commands_.end() && it->second) {
        ui::runGuarded(this, it->second);
        return;
    }
    QString what;
    switch (command) {
    case Command::GetSetup:
        what = tr("Get Setup");
        break;
    case Command::SaveSetup:
        what = tr("Save Setup");
        break;
    case Command::PrintHunt:
    case Command::PrintTarg:
    case Command::PrintYouth:
    case Command::PrintOrvk:
        what = tr("Printing");
        break;
    case Command::ShopInformation:
        what = tr("Shop Information");
        break;
    case Command::Export:
        what = tr("Export Customer Database");
        break;
    case Command::KECalc:
        what = tr("The Kinetic Energy and FOC calculator");
        break;
    case Command::Models:
        what = tr("The shaft models guide");
        break;
    case Command::Specs:
        what = tr("The specifications and arrow weight window");
        break;
    }
    ui::MessageSeam::current().message(this, tr("%1 is not available yet.").arg(what));
}

void TArrowSel::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!firstShowDone_) {
        firstShowDone_ = true;
        // Laid out by now, and not yet on the screen: placed before anyone sees it.
        centreOnScreen();
        FindRec();
    }
}

bool TArrowSel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == this && event->type() == QEvent::Paint && !firstPaintSeen_) {
        firstPaintSeen_ = true;
        emit firstPainted();
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace arrowsel::app
