// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window, TArrowSel: the bow setup's inputs, the four pages of recommended shafts and
// the commands other parts provide. It is made in arrow_sel_build.cpp and arrow_sel_pages.cpp,
// runs in arrow_sel.cpp and answers the side windows (MainWindowState) in arrow_sel_state.cpp.

#include "calc/specs_request.h"
#include "engine/selection.h"
#include "present/control_states.h"
#include "present/window_state.h"

#include <QMainWindow>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <vector>

class QFrame;
class QLabel;
class QMenuBar;
class QPushButton;

namespace arrowsel::widgets {
class TCellButton;
class TLabelButton;
class TLinkLabel;
class TNumEdit;
class TPageControl;
class TRadioGroup;
class TUpDown;
} // namespace arrowsel::widgets

namespace arrowsel::app {

// The commands whose windows other parts of the program provide. Until one is registered, its
// buttons and menu items say that it is not available yet.
enum class Command {
    GetSetup,        // SpeedButton3Click
    SaveSetup,       // HSaveBtnClick
    PrintHunt,       // HPrintBtnClick
    PrintTarg,       // TPrintBtnClick
    PrintYouth,      // SpeedButton9Click
    PrintOrvk,       // OrvkPrintBtnClick
    ShopInformation, // ShopInformation1Click
    Export,          // ExportCustomerDatabase1Click
    KECalc,          // KECalcBtnClick
    Models,          // ModelsClick
    Specs,           // the specifications window opened by TSzBtnClick
};

// The main window: the bow setup on the left, the four pages of recommended shafts on the right.
// Every input change runs the selection (FindRec) and applies its result to the controls.
class TArrowSel : public QMainWindow, public MainWindowState {
    Q_OBJECT

public:
    explicit TArrowSel(std::filesystem::path dataFolder, QWidget* parent = nullptr);
    ~TArrowSel() override;
    Q_DISABLE_COPY_MOVE(TArrowSel)

    void setCommandHandler(Command command, std::function<void()> handler);

    // The selection run bound to every input; the sender is not consulted.
    void FindRec();
    void TSzBtnClick(QObject* sender);
    void HSzBtn3MouseEnter();
    void HWtBtn9Click();
    void CloseCarbonBtn();
    void ExitBtn1Click();
    void About1Click();
    void Contents1Click();

    engine::SelectionEngine& engine() { return engine_; }
    const engine::SelectionResult& lastResult() const { return lastResult_; }
    // The setup the inputs hold now: what the reports print beside lastResult().
    engine::BowSetup currentSetup() const { return readSetup(); }
    int runCount() const { return runCount_; }
    // The shaft of the last size click and the page the last run showed: what the specifications
    // window opens with. The hidden labels TmpLbl, SpcLbl, Mods and TmpLbl2 show the same texts.
    const calc::ShaftChoice& shaftChoice() const { return chosen_; }

    // MainWindowState
    std::string editText(Edit edit) const override;
    int itemIndex(Group group) const override;
    Page page() const override;
    std::string labelText(Label label) const override;
    std::string cellCaption(Page page, int row, Column column) const override;
    std::filesystem::path dataFolder() const override;
    void setPage(Page page) override;
    void setEditText(Edit edit, const std::string& text) override;
    void setItemIndex(Group group, int index) override;

signals:
    void firstPainted();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct PageGrid {
        std::vector<widgets::TCellButton*> size, spine, model, weight; // index 0 is row 1
        QWidget* page = nullptr;
    };

    void centreOnScreen();
    void buildMenu();
    void buildKeys();
    void buildInputs(QWidget* client);
    void buildEdits(QWidget* client);
    void buildRadioGroups(QWidget* client);
    void buildPages(QWidget* client);
    QWidget* buildPage(engine::Page page);
    void buildGrid(engine::Page page, QWidget* parent, int firstRow, int lastRow, int top);
    void buildCommandButtons(engine::Page page, QWidget* parent);
    void buildHuntingExtras(QWidget* parent);
    void buildCarbonPanel(QWidget* parent);
    void bindInputs();

    engine::BowSetup readSetup() const;
    void applyResult(const engine::SelectionResult& result, const engine::BowSetup& setup);
    // After the notice's resets: every size cell shows its weight hint again, every Target spine cell shows.
    void resetCellHints();
    void applyCells(const engine::SelectionResult& result);
    void runCommand(Command command);
    QWidget* controlWidget(present::Control control) const;

    engine::SelectionEngine engine_;
    engine::SelectionResult lastResult_;
    calc::ShaftChoice chosen_;
    std::map<Command, std::function<void()>> commands_;
    int runCount_ = 0;
    bool running_ = false;      // a run is under way (its notice or error box may be showing)
    bool rerunPending_ = false; // an input changed meanwhile: run again when it ends
    bool firstShowDone_ = false;
    bool firstPaintSeen_ = false;

    widgets::TNumEdit* bowWeightSpin_ = nullptr;
    widgets::TNumEdit* arrowLengthSpin_ = nullptr;
    widgets::TNumEdit* pointWtSpin_ = nullptr;
    widgets::TNumEdit* youthBowWtSpin_ = nullptr;
    widgets::TNumEdit* youthArrowLenSpin_ = nullptr;
    std::array<widgets::TUpDown*, 5> upDowns_{}; // UpDown1 to UpDown5
    widgets::TRadioGroup* bowType_ = nullptr;
    widgets::TRadioGroup* targBowType_ = nullptr;
    widgets::TRadioGroup* huntCamType_ = nullptr;
    widgets::TRadioGroup* wheelType_ = nullptr;
    widgets::TRadioGroup* releaseType_ = nullptr;
    widgets::TRadioGroup* overDraw_ = nullptr;
    widgets::TRadioGroup* braceHt_ = nullptr;
    QLabel* label6_ = nullptr;
    widgets::TPageControl* shaftsNB_ = nullptr;
    std::array<PageGrid, engine::kPageCount> grids_;
    QFrame* cawtPanel_ = nullptr;
    QLabel* tmpLbl_ = nullptr;
    QLabel* tmpLbl2_ = nullptr;
    QLabel* spcLbl_ = nullptr;
    QLabel* mods_ = nullptr;
    std::array<QLabel*, 14> tspLabels_{}; // TSP1LBL to TSP14LBL
};

} // namespace arrowsel::app
