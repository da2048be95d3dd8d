// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's making: its menus, keys, edits and radio groups, its hidden working labels and
// the bindings that run the selection on every input change. The pages and their grids are made
// in arrow_sel_pages.cpp; the order things are made in is the tab order and the stacking order.
#include "app/arrow_sel.h"
#include "app/arrow_sel_parts.h"
#include "ui/message_seam.h"
#include "ui/qt_text.h"
#include "widgets/link_label.h"
#include "widgets/num_edit.h"
#include "widgets/page_control.h"
#include "widgets/radio_group.h"

#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QShortcut>
#include <tuple>

namespace arrowsel::app {

using ui::toQt;

constexpr int kClientWidth = 788;
constexpr int kClientHeight = 542;

QLabel* hiddenLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->hide();
    return label;
}

PagePrint pagePrint(engine::Page page) {
    switch (page) {
    case engine::Page::Hunt:
        break;
    case engine::Page::Targ:
        return {Command::PrintTarg, "TPrintBtn"};
    case engine::Page::Youth:
        return {Command::PrintYouth, "SpeedButton9"};
    case engine::Page::Orvk:
        return {Command::PrintOrvk, "OrvkPrintBtn"};
    }
    return {Command::PrintHunt, "HPrintBtn"};
}

TArrowSel::TArrowSel(std::filesystem::path dataFolder, QWidget* parent)
    : QMainWindow(parent), engine_(std::move(dataFolder)) {
    setObjectName(QStringLiteral("ArrowSel"));
    setWindowTitle(tr("Arvendel 2009"));
    // A fixed single border with the system menu and minimise box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    buildMenu();
    buildInputs(client);
    buildPages(client);

    tmpLbl_ = hiddenLabel(QStringLiteral("TmpLbl"), client);
    tmpLbl2_ = hiddenLabel(QStringLiteral("TmpLbl2"), client);
    spcLbl_ = hiddenLabel(QStringLiteral("SpcLbl"), client);
    mods_ = hiddenLabel(QStringLiteral("Mods"), client);

    bindInputs();
    engine_.setNoticeHandler(
        [this](const std::string& text) { ui::MessageSeam::current().information(this, toQt(text)); });

    layout()->setSizeConstraint(QLayout::SetFixedSize);
    installEventFilter(this);
    buildKeys();
}

TArrowSel::~TArrowSel() = default;

void TArrowSel::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto add = [](QMenu* menu, const char* name, const QString& text, auto slot) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        QObject::connect(action, &QAction::triggered, slot);
        return action;
    };
    auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    QMenu* file = bar->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("File1"));
    add(file, "GetSetup1", tr("&Get Setup"), [this] { runCommand(Command::GetSetup); });
    add(file, "SaveSetup1", tr("&Save Setup"), [this] { runCommand(Command::SaveSetup); });
    separator(file, "N1");
    add(file, "ShopInformation1", tr("Shop &Information"), [this] { runCommand(Command::ShopInformation); });
    separator(file, "N2");
    add(file, "Exit1", tr("E&xit"), [this] { ExitBtn1Click(); });

    QMenu* utilities = bar->addMenu(tr("&Utilities"));
    utilities->setObjectName(QStringLiteral("Utilities1"));
    add(utilities, "KineticEnergyFOCCalculator1", tr("&Kinetic Energy/F.O.C. Calculator"),
        [this] { runCommand(Command::KECalc); });
    add(utilities, "Contents1", tr("&Tuning Information"), [this] { Contents1Click(); });
    separator(utilities, "N3");
    add(utilities, "ExportCustomerDatabase1", tr("&Export Customer Database"), [this] { runCommand(Command::Export); });

    QAction* about = bar->addAction(tr("&About"));
    about->setObjectName(QStringLiteral("About1"));
    connect(about, &QAction::triggered, this, [this] { About1Click(); });
}

namespace {

// Escape closes the window it is pressed in when that is one of the program's own side windows
// (dialogs already reject on Escape, popups close themselves), and the carbon panel when pressed in
// the main window. Watches the whole application: side windows are made by other parts.
class EscapeCloser : public QObject {
public:
    EscapeCloser(QWidget* mainWindow, QWidget* carbonPanel)
        : QObject(mainWindow), mainWindow_(mainWindow), carbonPanel_(carbonPanel) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier) {
            return false;
        }
        QWidget* window = static_cast<QWidget*>(watched)->window();
        if (window == mainWindow_) {
            if (!carbonPanel_->isVisible()) {
                return false;
            }
            carbonPanel_->hide();
            return true;
        }
        if (window->windowType() != Qt::Window || qobject_cast<QDialog*>(window) != nullptr) {
            return false;
        }
        window->close();
        return true;
    }

private:
    QWidget* mainWindow_;
    QWidget* carbonPanel_;
};

} // namespace

// The keys beside the mnemonics; the menus keep their items as they are.
void TArrowSel::buildKeys() {
    auto key = [this](const QKeySequence& sequence, const char* name, auto slot) {
        auto* shortcut = new QShortcut(sequence, this);
        shortcut->setObjectName(QString::fromLatin1(name));
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    key(QKeySequence(Qt::Key_F1), "HelpKey", [this] { Contents1Click(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Q), "ExitKey", [this] { ExitBtn1Click(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_P), "PrintKey", [this] { runCommand(pagePrint(page()).command); });
    qApp->installEventFilter(new EscapeCloser(this, cawtPanel_));
}

namespace {

// One box per edit, its heading on the left.
std::pair<QFrame*, QLabel*> editBox(QWidget* client, int y, const char* labelName, const QString& heading) {
    auto* frame = new QFrame(client);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setGeometry(6, y, 234, 40);
    auto* label = new QLabel(heading, frame);
    label->setObjectName(QString::fromLatin1(labelName));
    label->setGeometry(10, 0, 120, 40);
    return {frame, label};
}

struct EditSpec {
    const char* name;
    const char* upDownName;
    const char* text;
    int min;
    int max;
    int step;
};

std::pair<widgets::TNumEdit*, widgets::TUpDown*> numEdit(QFrame* frame, QLabel* label, const EditSpec& spec) {
    auto* e = new widgets::TNumEdit(frame);
    e->setObjectName(QString::fromLatin1(spec.name));
    e->setGeometry(136, 8, 58, 24);
    e->setText(QString::fromLatin1(spec.text));
    e->setAccessibleName(label->text());
    label->setBuddy(e);
    auto* ud = new widgets::TUpDown(spec.min, spec.max, spec.step, frame);
    ud->setObjectName(QString::fromLatin1(spec.upDownName));
    ud->setGeometry(194, 8, 18, 24);
    ud->associate(e);
    return {e, ud};
}

widgets::TRadioGroup* radioGroup(QWidget* client, const char* name, const QString& title, const QStringList& items,
                                 QRect geometry, int columns, const QString& accessibleName) {
    auto* g = new widgets::TRadioGroup(client);
    g->setObjectName(QString::fromLatin1(name));
    g->setTitle(title);
    g->setItems(items);
    g->setColumns(columns);
    g->setItemIndex(0);
    g->setGeometry(geometry);
    g->setAccessibleName(title.isEmpty() ? accessibleName : title);
    return g;
}

} // namespace

void TArrowSel::buildInputs(QWidget* client) {
    buildEdits(client);
    buildRadioGroups(client);
    auto* link =
        new widgets::TLinkLabel(tr("www.arvendel.example.com"), QUrl(tr("https://www.arvendel.example.com/")), client);
    link->setObjectName(QStringLiteral("WebLink"));
    link->setGeometry(6, 512, 234, 22);
    link->setAlignment(Qt::AlignCenter);
}

// The youth edits lie on the adult ones in the same boxes; FindRec decides which show.
void TArrowSel::buildEdits(QWidget* client) {
    auto [bowBox, bowLabel] = editBox(client, 6, "Label4", tr("Bow Weight"));
    auto [lenBox, lenLabel] = editBox(client, 50, "Label5", tr("Arrow Length"));
    auto [ptBox, ptLabel] = editBox(client, 94, "Label6", tr("Point Weight"));
    label6_ = ptLabel;
    std::tie(bowWeightSpin_, upDowns_[0]) = numEdit(bowBox, bowLabel, {"BowWeightSpin", "UpDown1", "60", 17, 124, 1});
    std::tie(youthBowWtSpin_, upDowns_[2]) = numEdit(bowBox, bowLabel, {"YouthBowWtSpin", "UpDown3", "30", 16, 40, 1});
    std::tie(arrowLengthSpin_, upDowns_[1]) =
        numEdit(lenBox, lenLabel, {"ArrowLengthSpin", "UpDown2", "30", 23, 33, 1});
    std::tie(youthArrowLenSpin_, upDowns_[4]) =
        numEdit(lenBox, lenLabel, {"YouthArrowLenSpin", "UpDown5", "25", 21, 27, 1});
    std::tie(pointWtSpin_, upDowns_[3]) = numEdit(ptBox, ptLabel, {"PointWtSpin", "UpDown4", "100", 65, 160, 5});
    youthBowWtSpin_->setAccessibleName(tr("Youth Bow Weight"));
    youthArrowLenSpin_->setAccessibleName(tr("Youth Arrow Length"));
    // At start the adult edits lie on top; the youth up-downs are hidden until the Youth page.
    bowWeightSpin_->raise();
    upDowns_[0]->raise();
    arrowLengthSpin_->raise();
    upDowns_[1]->raise();
    upDowns_[2]->hide();
    upDowns_[4]->hide();
}

void TArrowSel::buildRadioGroups(QWidget* client) {
    const QString inch = QStringLiteral("\"");
    bowType_ = radioGroup(client, "BowType", {}, {tr("Compound Bow"), tr("Recurve Bow"), tr("Modern Longbow")},
                          QRect(6, 140, 234, 70), 1, tr("Bow Type"));
    targBowType_ = radioGroup(client, "TargBowType", {}, {tr("Compound Bow"), tr("Recurve Bow")},
                              QRect(6, 140, 234, 70), 1, tr("Bow Type"));
    targBowType_->hide();
    huntCamType_ = radioGroup(client, "HuntCamType", {}, {tr("Single or Hard Cam"), tr("Medium Cam")},
                              QRect(6, 214, 234, 84), 1, tr("Cam Type"));
    wheelType_ = radioGroup(
        client, "WheelType", tr("AMO fps"),
        {tr("Single/Hard Cam over 230 "), tr("Medium Cam        211-230"), tr("Soft Cam               under 211")},
        QRect(6, 214, 234, 84), 1, {});
    wheelType_->hide();
    releaseType_ = radioGroup(client, "ReleaseType", {}, {tr("Mechanical Release"), tr("Fingers Release")},
                              QRect(6, 302, 234, 50), 1, tr("Release Type"));
    overDraw_ = radioGroup(client, "OverDraw", tr("OverDraw?"),
                           {tr("No"), QStringLiteral("1") + inch, QStringLiteral("2") + inch,
                            QStringLiteral("3") + inch, QStringLiteral("4") + inch, QStringLiteral("5") + inch},
                           QRect(6, 356, 234, 82), 2, {});
    braceHt_ = radioGroup(client, "BraceHt", tr("Brace Height"), {tr("Over 6.5\""), tr("Under 6.5\"")},
                          QRect(6, 442, 234, 64), 1, {});
}

void TArrowSel::bindInputs() {
    for (widgets::TNumEdit* e : {bowWeightSpin_, arrowLengthSpin_, pointWtSpin_, youthBowWtSpin_, youthArrowLenSpin_}) {
        connect(e, &QLineEdit::textChanged, this, &TArrowSel::FindRec);
    }
    for (widgets::TRadioGroup* g :
         {bowType_, targBowType_, huntCamType_, wheelType_, releaseType_, overDraw_, braceHt_}) {
        connect(g, &widgets::TRadioGroup::clicked, this, &TArrowSel::FindRec);
    }
    connect(shaftsNB_, &QTabWidget::currentChanged, this, &TArrowSel::FindRec);
}

} // namespace arrowsel::app
