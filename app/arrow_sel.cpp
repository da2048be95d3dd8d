// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/arrow_sel.h"

#include "app/about_box.h"
#include "app/help_window.h"
#include "data/dbf_table.h"
#include "engine/chart_rules.h"
#include "engine/pages.h"
#include "present/control_states.h"
#include "ui/guarded.h"
#include "ui/message_seam.h"
#include "ui/qt_text.h"
#include "widgets/cell_button.h"
#include "widgets/colors.h"
#include "widgets/ink.h"
#include "widgets/link_label.h"
#include "widgets/num_edit.h"
#include "widgets/page_control.h"
#include "widgets/radio_group.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <algorithm>

namespace arrowsel::app {

using present::Control;
using ui::toQt;
using widgets::colorFromBgr;
using widgets::TCellButton;

namespace {

constexpr int kClientWidth = 788;
constexpr int kClientHeight = 542;
constexpr int kRowStep = 23;
constexpr int kRowHeight = 22;

struct Column {
    int x;
    int width;
};
// Size, spine, models, weight.
constexpr std::array<Column, 4> kColumns{{{8, 84}, {96, 72}, {172, 112}, {288, 84}}};

const char* pageLetter(engine::Page page) {
    switch (page) {
    case engine::Page::Hunt:
        return "H";
    case engine::Page::Targ:
        return "T";
    case engine::Page::Youth:
        return "Y";
    case engine::Page::Orvk:
        return "B";
    }
    return "H";
}

QString pageTitle(engine::Page page) {
    return QString::fromLatin1(engine::pageFacts(page).title);
}

QLabel* hiddenLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->hide();
    return label;
}

// A model legend: abbreviation in bold, then what it stands for.
QString legendHtml(std::initializer_list<std::pair<const char*, const char*>> rows) {
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\">");
    for (const auto& [code, meaning] : rows) {
        html += QStringLiteral("<tr><td><b>%1</b></td><td>&nbsp;%2</td></tr>")
                    .arg(QString::fromUtf8(code).toHtmlEscaped(), QString::fromUtf8(meaning).toHtmlEscaped());
    }
    return html + QStringLiteral("</table>");
}

QString pageLegend(engine::Page page) {
    const QString sizes = QStringLiteral("<p>Aluminium sizes: 2213 = 22/64\" across, .013\" wall. "
                                         "Carbon sizes give the spine.</p>");
    switch (page) {
    case engine::Page::Hunt:
        return QStringLiteral("<b>Models</b>") +
               legendHtml({{"RD,63", "Raider and KV63: two weights, plain then coated"},
                           {"63", "KV63 coated aluminium"},
                           {"VT", "Vantage aluminium"},
                           {"TL", "Talon carbon"},
                           {"VR", "Vireo aluminium/carbon"},
                           {"Carbon", "see Details in the weight column"}}) +
               sizes;
    case engine::Page::Targ:
        return QStringLiteral("<b>Models</b>") +
               legendHtml({{"N4,63", "Nimbus and KV63: two weights, plain then coated"},
                           {"63", "KV63 coated aluminium"},
                           {"VT", "Vantage aluminium"},
                           {"TL", "Talon carbon"},
                           {"VR", "Vireo aluminium/carbon"}}) +
               sizes;
    case engine::Page::Youth:
        return QStringLiteral("<b>Models</b>") +
               legendHtml({{"SP", "Sprout light aluminium"}, {"FL", "Fledge light carbon"}}) + sizes;
    case engine::Page::Orvk:
        return QStringLiteral("<b>Orvik models</b>") +
               legendHtml(
                   {{"ST", "Orvik Strand carbon"}, {"KE", "Orvik Keel heavy carbon"}, {"PK", "Orvik Pike aluminium"}}) +
               sizes;
    }
    return {};
}

} // namespace

TArrowSel::TArrowSel(std::filesystem::path dataFolder, QWidget* parent)
    : QMainWindow(parent), engine_(std::move(dataFolder)) {
    setObjectName(QStringLiteral("ArrowSel"));
    setWindowTitle(QStringLiteral("Arvendel 2009"));
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

void TArrowSel::centreOnScreen() {
    const QRect area = screen()->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    // A screen smaller than the window shows its top left corner, with the menu.
    move(std::max(frame.left(), area.left()), std::max(frame.top(), area.top()));
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

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    add(file, "GetSetup1", QStringLiteral("&Get Setup"), [this] { runCommand(Command::GetSetup); });
    add(file, "SaveSetup1", QStringLiteral("&Save Setup"), [this] { runCommand(Command::SaveSetup); });
    separator(file, "N1");
    add(file, "ShopInformation1", QStringLiteral("Shop &Information"),
        [this] { runCommand(Command::ShopInformation); });
    separator(file, "N2");
    add(file, "Exit1", QStringLiteral("E&xit"), [this] { ExitBtn1Click(); });

    QMenu* utilities = bar->addMenu(QStringLiteral("&Utilities"));
    utilities->setObjectName(QStringLiteral("Utilities1"));
    add(utilities, "KineticEnergyFOCCalculator1", QStringLiteral("&Kinetic Energy/F.O.C. Calculator"),
        [this] { runCommand(Command::KECalc); });
    add(utilities, "Contents1", QStringLiteral("&Tuning Information"), [this] { Contents1Click(); });
    separator(utilities, "N3");
    add(utilities, "ExportCustomerDatabase1", QStringLiteral("&Export Customer Database"),
        [this] { runCommand(Command::Export); });

    QAction* about = bar->addAction(QStringLiteral("&About"));
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

// Each page's Print: its command (the button and Ctrl+P) and its button's name.
struct PagePrint {
    Command command;
    const char* buttonName;
};

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
    auto* link = new widgets::TLinkLabel(QStringLiteral("www.arvendel.example.com"),
                                         QUrl(QStringLiteral("https://www.arvendel.example.com/")), client);
    link->setObjectName(QStringLiteral("WebLink"));
    link->setGeometry(6, 512, 234, 22);
    link->setAlignment(Qt::AlignCenter);
}

// The youth edits lie on the adult ones in the same boxes; FindRec decides which show.
void TArrowSel::buildEdits(QWidget* client) {
    auto [bowBox, bowLabel] = editBox(client, 6, "Label4", QStringLiteral("Bow Weight"));
    auto [lenBox, lenLabel] = editBox(client, 50, "Label5", QStringLiteral("Arrow Length"));
    auto [ptBox, ptLabel] = editBox(client, 94, "Label6", QStringLiteral("Point Weight"));
    label6_ = ptLabel;
    std::tie(bowWeightSpin_, upDowns_[0]) = numEdit(bowBox, bowLabel, {"BowWeightSpin", "UpDown1", "60", 17, 124, 1});
    std::tie(youthBowWtSpin_, upDowns_[2]) = numEdit(bowBox, bowLabel, {"YouthBowWtSpin", "UpDown3", "30", 16, 40, 1});
    std::tie(arrowLengthSpin_, upDowns_[1]) =
        numEdit(lenBox, lenLabel, {"ArrowLengthSpin", "UpDown2", "30", 23, 33, 1});
    std::tie(youthArrowLenSpin_, upDowns_[4]) =
        numEdit(lenBox, lenLabel, {"YouthArrowLenSpin", "UpDown5", "25", 21, 27, 1});
    std::tie(pointWtSpin_, upDowns_[3]) = numEdit(ptBox, ptLabel, {"PointWtSpin", "UpDown4", "100", 65, 160, 5});
    youthBowWtSpin_->setAccessibleName(QStringLiteral("Youth Bow Weight"));
    youthArrowLenSpin_->setAccessibleName(QStringLiteral("Youth Arrow Length"));
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
    bowType_ =
        radioGroup(client, "BowType", {},
                   {QStringLiteral("Compound Bow"), QStringLiteral("Recurve Bow"), QStringLiteral("Modern Longbow")},
                   QRect(6, 140, 234, 70), 1, QStringLiteral("Bow Type"));
    targBowType_ =
        radioGroup(client, "TargBowType", {}, {QStringLiteral("Compound Bow"), QStringLiteral("Recurve Bow")},
                   QRect(6, 140, 234, 70), 1, QStringLiteral("Bow Type"));
    targBowType_->hide();
    huntCamType_ =
        radioGroup(client, "HuntCamType", {}, {QStringLiteral("Single or Hard Cam"), QStringLiteral("Medium Cam")},
                   QRect(6, 214, 234, 84), 1, QStringLiteral("Cam Type"));
    wheelType_ = radioGroup(client, "WheelType", QStringLiteral("AMO fps"),
                            {QStringLiteral("Single/Hard Cam over 230 "), QStringLiteral("Medium Cam        211-230"),
                             QStringLiteral("Soft Cam               under 211")},
                            QRect(6, 214, 234, 84), 1, {});
    wheelType_->hide();
    releaseType_ =
        radioGroup(client, "ReleaseType", {}, {QStringLiteral("Mechanical Release"), QStringLiteral("Fingers Release")},
                   QRect(6, 302, 234, 50), 1, QStringLiteral("Release Type"));
    overDraw_ = radioGroup(client, "OverDraw", QStringLiteral("OverDraw?"),
                           {QStringLiteral("No"), QStringLiteral("1") + inch, QStringLiteral("2") + inch,
                            QStringLiteral("3") + inch, QStringLiteral("4") + inch, QStringLiteral("5") + inch},
                           QRect(6, 356, 234, 82), 2, {});
    braceHt_ = radioGroup(client, "BraceHt", QStringLiteral("Brace Height"),
                          {QStringLiteral("Over 6.5") + inch, QStringLiteral("Under 6.5") + inch},
                          QRect(6, 442, 234, 64), 1, {});
}

void TArrowSel::buildPages(QWidget* client) {
    shaftsNB_ = new widgets::TPageControl(QSize(115, 35), client);
    shaftsNB_->setObjectName(QStringLiteral("ShaftsNB"));
    shaftsNB_->setGeometry(246, 4, 538, 534);
    shaftsNB_->setAccessibleName(QStringLiteral("Charts"));
    for (const engine::Page page : engine::kPages) {
        QWidget* w = buildPage(page);
        shaftsNB_->addTab(w, pageTitle(page));
    }
    shaftsNB_->setCurrentIndex(0);
}

QWidget* TArrowSel::buildPage(engine::Page page) {
    auto* w = new QWidget;
    w->setObjectName(QString::fromLatin1(engine::pageTag(page)));
    w->setAutoFillBackground(true);
    PageGrid& grid = grids_[std::size_t(page)];
    grid.page = w;
    const int cells = engine::cellCount(page);
    grid.size.resize(std::size_t(cells));
    grid.spine.resize(std::size_t(cells));
    grid.model.resize(std::size_t(cells));
    grid.weight.resize(std::size_t(cells));

    const std::array<QString, 4> heads{QStringLiteral("Size"), QStringLiteral("Spine"), QStringLiteral("Models"),
                                       QStringLiteral("Weight")};
    for (std::size_t c = 0; c < heads.size(); ++c) {
        auto* head = new QLabel(heads[c], w);
        head->setAlignment(Qt::AlignCenter);
        head->setGeometry(kColumns[c].x, 4, kColumns[c].width, 20);
        QFont f = head->font();
        f.setBold(true);
        head->setFont(f);
    }

    // The year button first in the tab order only visually; it is reached after the grid.
    if (page == engine::Page::Hunt) {
        buildGrid(page, w, 1, 9, 26);
        buildGrid(page, w, 17, 17, 26 + 9 * kRowStep);
        buildHuntingExtras(w);
    } else {
        buildGrid(page, w, 1, cells, 26);
    }
    if (page == engine::Page::Targ) {
        for (int i = 0; i < 14; ++i) {
            QLabel* l = hiddenLabel(QStringLiteral("TSP%1LBL").arg(i + 1), w);
            l->setGeometry(376, 26 + i * kRowStep, 40, kRowHeight);
            tspLabels_[std::size_t(i)] = l;
        }
    }

    auto* legend = new QLabel(pageLegend(page), w);
    legend->setObjectName(QStringLiteral("%1Legend").arg(QString::fromLatin1(pageLetter(page))));
    legend->setTextFormat(Qt::RichText);
    legend->setWordWrap(true);
    legend->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    legend->setGeometry(380, 64, 146, 340);

    buildCommandButtons(page, w);
    if (page == engine::Page::Hunt) {
        buildCarbonPanel(w);
    }
    return w;
}

void TArrowSel::buildGrid(engine::Page page, QWidget* parent, int firstRow, int lastRow, int top) {
    PageGrid& grid = grids_[std::size_t(page)];
    const QString letter = QString::fromLatin1(pageLetter(page));
    const QString title = pageTitle(page);
    const bool orvik = page == engine::Page::Orvk;
    const std::array<const char*, 4> kinds{"SzBtn", "SpBtn", "MdBtn", "WtBtn"};
    const std::array<QString, 4> roles{QStringLiteral("size"), QStringLiteral("spine"), QStringLiteral("model"),
                                       QStringLiteral("weight")};
    for (int row = firstRow; row <= lastRow; ++row) {
        const int y = top + (row - firstRow) * kRowStep;
        for (std::size_t c = 0; c < 4; ++c) {
            auto* b = new TCellButton(parent);
            b->setObjectName(letter + QString::fromLatin1(kinds[c]) + QString::number(row));
            b->setGeometry(kColumns[c].x, y, kColumns[c].width, kRowHeight);
            b->setAccessibleFallback(QStringLiteral("%1 row %2 %3").arg(title).arg(row).arg(roles[c]));
            std::vector<TCellButton*>* column[] = {&grid.size, &grid.spine, &grid.model, &grid.weight};
            (*column[c])[std::size_t(row - 1)] = b;
            b->setFocusPolicy(Qt::NoFocus);
        }
        TCellButton* size = grid.size[std::size_t(row - 1)];
        size->setFocusPolicy(Qt::StrongFocus);
        size->setPointingCursor(true);
        connect(size, &TCellButton::clicked, this, [this, size] { TSzBtnClick(size); });
        if (page == engine::Page::Hunt && (row == 9 || row == 17)) {
            size->setHint(QStringLiteral("Click Details Button in Weight Column"));
        } else {
            size->setHint(orvik ? QStringLiteral("Orvik Arrow Size")
                                : QStringLiteral("Click for Weight Calculation and Specs"));
        }
        grid.spine[std::size_t(row - 1)]->setHint(QStringLiteral("Spine Value"));
        grid.model[std::size_t(row - 1)]->setHint(orvik ? QStringLiteral("Orvik Arrow Model")
                                                        : QStringLiteral("Standard Catagories"));
        grid.weight[std::size_t(row - 1)]->setHint(QStringLiteral("Bare Shaft Weight in Grains"));
        if (orvik) {
            for (TCellButton* b : {grid.spine[std::size_t(row - 1)], grid.model[std::size_t(row - 1)]}) {
                b->setFocusPolicy(Qt::StrongFocus);
                connect(b, &TCellButton::clicked, this, [this, b] { TSzBtnClick(b); });
            }
        }
        if (row == 3 && (page == engine::Page::Hunt || page == engine::Page::Youth)) {
            connect(size, &TCellButton::mouseEntered, this, &TArrowSel::HSzBtn3MouseEnter);
        }
        if (page == engine::Page::Hunt && ((row >= 5 && row <= 9) || row == 17)) {
            TCellButton* weight = grid.weight[std::size_t(row - 1)];
            weight->setFocusPolicy(Qt::StrongFocus);
            connect(weight, &TCellButton::clicked, this, &TArrowSel::HWtBtn9Click);
        }
    }
}

void TArrowSel::buildHuntingExtras(QWidget* parent) {
    // The legend and the cells' descriptions for screen readers say the same.
    using engine::ColorBand;
    const std::array<ColorBand, 4> bands{ColorBand::Yellow, ColorBand::Green, ColorBand::Orange, ColorBand::Plain};
    int y = 26 + 10 * kRowStep + 10;
    for (std::size_t i = 0; i < bands.size(); ++i) {
        auto* square = new QFrame(parent);
        square->setObjectName(QStringLiteral("ColorKey%1").arg(i + 1));
        square->setFrameShape(QFrame::Box);
        square->setAutoFillBackground(true);
        QPalette pal = square->palette();
        pal.setColor(QPalette::Window, colorFromBgr(present::bandColor(bands[i])));
        square->setPalette(pal);
        square->setGeometry(10, y + 2, 14, 14);
        auto* text =
            new QLabel(QStringLiteral("= %1.").arg(QString::fromLatin1(present::bandMeaning(bands[i]))), parent);
        text->setObjectName(QStringLiteral("ColorKeyText%1").arg(i + 1));
        text->setGeometry(30, y, 490, 18);
        y += 20;
    }
}

void TArrowSel::buildCarbonPanel(QWidget* parent) {
    cawtPanel_ = new QFrame(parent);
    cawtPanel_->setObjectName(QStringLiteral("CAWTPanel"));
    cawtPanel_->setFrameShape(QFrame::Panel);
    cawtPanel_->setFrameShadow(QFrame::Raised);
    cawtPanel_->setLineWidth(2);
    cawtPanel_->setAutoFillBackground(true);
    // A light panel like the cells it holds, whatever the desktop's colours: its text stays dark.
    QPalette pal = cawtPanel_->palette();
    pal.setColor(QPalette::Window, QColor(0xE8, 0xEC, 0xF2));
    pal.setColor(QPalette::WindowText, Qt::black);
    cawtPanel_->setPalette(pal);
    // Down to the bottom of row 17, which lies under it.
    cawtPanel_->setGeometry(0, 0, 376, 26 + 9 * kRowStep + kRowHeight);
    cawtPanel_->setAccessibleName(QStringLiteral("Carbon Shafts"));

    auto* header = new QLabel(QStringLiteral("Carbon Shafts"), cawtPanel_);
    QFont f = header->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    header->setFont(f);
    header->setAlignment(Qt::AlignCenter);
    header->setGeometry(4, 4, 368, 22);
    const std::array<QString, 4> heads{QStringLiteral("Size"), QStringLiteral("Spine"), QStringLiteral("Models"),
                                       QStringLiteral("Weight")};
    for (std::size_t c = 0; c < heads.size(); ++c) {
        auto* head = new QLabel(heads[c], cawtPanel_);
        head->setAlignment(Qt::AlignCenter);
        head->setGeometry(kColumns[c].x, 28, kColumns[c].width, 18);
    }
    buildGrid(engine::Page::Hunt, cawtPanel_, 10, 16, 48);
    auto* close = new QPushButton(QStringLiteral("&Close"), cawtPanel_);
    close->setObjectName(QStringLiteral("CAWTCloseBtn"));
    close->setGeometry(376 / 2 - 50, 48 + 7 * kRowStep + 8, 100, 28);
    connect(close, &QPushButton::clicked, this, &TArrowSel::CloseCarbonBtn);
    cawtPanel_->hide();
}

void TArrowSel::buildCommandButtons(engine::Page page, QWidget* parent) {
    const QString p = QString::fromLatin1(pageLetter(page));
    const bool hunt = page == engine::Page::Hunt;
    auto button = [parent](const QString& name, const QString& caption, const char* hint) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(name);
        b->setAutoDefault(false);
        if (hint) {
            b->setToolTip(QString::fromLatin1(hint));
        }
        return b;
    };
    const PagePrint print = pagePrint(page);
    QPushButton* get = button(hunt ? QStringLiteral("SpeedButton3") : p + QStringLiteral("GetSetupBtn"),
                              QStringLiteral("&Get Setup"), "Look up a customer's saved setup");
    QPushButton* save = button(hunt ? QStringLiteral("HSaveBtn") : p + QStringLiteral("SaveBtn"),
                               QStringLiteral("&Save Setup"), "Save this setup with the customer's details");
    QPushButton* printBtn =
        button(QString::fromLatin1(print.buttonName), QStringLiteral("&Print"), "Print this page's recommendation");
    QPushButton* exit = button(QStringLiteral("ExitBtn%1").arg(int(page) + 1), QStringLiteral("E&xit"), nullptr);
    QPushButton* models = button(p + QStringLiteral("ModelsBtn"), QStringLiteral("2009 Shaft Models"),
                                 "Guide to this year's shaft models");
    QPushButton* ke = button(hunt ? QStringLiteral("KECalcBtn") : p + QStringLiteral("KECalcBtn"),
                             QStringLiteral("Kinetic Energy && FOC Calculator"), nullptr);
    const int y = 420;
    const int w4 = 126;
    int x = 8;
    for (QPushButton* b : {get, save, printBtn, exit}) {
        b->setGeometry(x, y, w4, 28);
        x += w4 + 4;
    }
    models->setGeometry(8, y + 34, 2 * w4 + 4, 28);
    ke->setGeometry(8 + 2 * (w4 + 4), y + 34, 2 * w4 + 4, 28);

    connect(get, &QPushButton::clicked, this, [this] { runCommand(Command::GetSetup); });
    connect(save, &QPushButton::clicked, this, [this] { runCommand(Command::SaveSetup); });
    connect(printBtn, &QPushButton::clicked, this, [this, print] { runCommand(print.command); });
    connect(exit, &QPushButton::clicked, this, &TArrowSel::ExitBtn1Click);
    connect(models, &QPushButton::clicked, this, [this] { runCommand(Command::Models); });
    connect(ke, &QPushButton::clicked, this, [this] { runCommand(Command::KECalc); });

    auto* year = new widgets::TLabelButton(QStringLiteral("2009"), parent);
    year->setObjectName(p + QStringLiteral("YearBtn"));
    year->setToolTip(QStringLiteral("2009 Shaft Models"));
    year->setAccessibleDescription(QStringLiteral("2009 Shaft Models"));
    QFont f = year->font();
    f.setPointSize(26);
    f.setBold(true);
    year->setFont(f);
    widgets::keepChosenInk(*year, QColor(0x80, 0x00, 0x00));
    year->setGeometry(400, 4, 124, 52);
    connect(year, &widgets::TLabelButton::clicked, this, [this] { runCommand(Command::Models); });
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

engine::BowSetup TArrowSel::readSetup() const {
    engine::BowSetup s;
    s.bowWeight = bowWeightSpin_->text().toStdString();
    s.arrowLength = arrowLengthSpin_->text().toStdString();
    s.pointWeight = pointWtSpin_->text().toStdString();
    s.youthBowWeight = youthBowWtSpin_->text().toStdString();
    s.youthArrowLength = youthArrowLenSpin_->text().toStdString();
    s.bowType = bowType_->itemIndex();
    s.targBowType = targBowType_->itemIndex();
    s.huntCamType = huntCamType_->itemIndex();
    s.wheelType = wheelType_->itemIndex();
    s.releaseType = releaseType_->itemIndex();
    s.overDraw = overDraw_->itemIndex();
    s.braceHt = braceHt_->itemIndex();
    s.page = page();
    return s;
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
        tmpLbl2_->setText(toQt(result.pageTag));
    }
    for (std::size_t i = 0; i < result.spineLabels.size(); ++i) {
        tspLabels_[i]->setText(toQt(result.spineLabels[i]));
    }
}

void TArrowSel::resetCellHints() {
    const QString hint = QStringLiteral("Click for Weight Calculation");
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
                b->setCaption(toQt(*text));
                b->setShowCaption(cell.shown);
                if (cell.band) {
                    b->setColor(colorFromBgr(present::bandColor(*cell.band)));
                }
                b->setColorMeaning(cell.band ? toQt(present::bandDescription(*cell.band)) : QString());
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
        tmpLbl_->setText(toQt(cell.size + cell.keyDetail));
        spcLbl_->setText(toQt(cell.size));
        mods_->setText(toQt(cell.model));
        break;
    }
    runCommand(Command::Specs);
}

void TArrowSel::HSzBtn3MouseEnter() {
    ui::MessageSeam::current().information(this, QStringLiteral("Detailed specs for KRV shafts are not available."));
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
        what = QStringLiteral("Get Setup");
        break;
    case Command::SaveSetup:
        what = QStringLiteral("Save Setup");
        break;
    case Command::PrintHunt:
    case Command::PrintTarg:
    case Command::PrintYouth:
    case Command::PrintOrvk:
        what = QStringLiteral("Printing");
        break;
    case Command::ShopInformation:
        what = QStringLiteral("Shop Information");
        break;
    case Command::Export:
        what = QStringLiteral("Export Customer Database");
        break;
    case Command::KECalc:
        what = QStringLiteral("The Kinetic Energy and FOC calculator");
        break;
    case Command::Models:
        what = QStringLiteral("The shaft models guide");
        break;
    case Command::Specs:
        what = QStringLiteral("The specifications and arrow weight window");
        break;
    }
    ui::MessageSeam::current().message(this, QStringLiteral("%1 is not available yet.").arg(what));
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

// MainWindowState ---------------------------------------------------------------------------------

std::string TArrowSel::editText(Edit edit) const {
    switch (edit) {
    case Edit::BowWeight:
        return bowWeightSpin_->text().toStdString();
    case Edit::ArrowLength:
        return arrowLengthSpin_->text().toStdString();
    case Edit::PointWeight:
        return pointWtSpin_->text().toStdString();
    case Edit::YouthBowWeight:
        return youthBowWtSpin_->text().toStdString();
    case Edit::YouthArrowLength:
        return youthArrowLenSpin_->text().toStdString();
    }
    return {};
}

namespace {
widgets::TRadioGroup* groupOf(MainWindowState::Group group, const std::array<widgets::TRadioGroup*, 7>& groups) {
    return groups[std::size_t(group)];
}
} // namespace

int TArrowSel::itemIndex(Group group) const {
    return groupOf(group, {bowType_, targBowType_, huntCamType_, wheelType_, releaseType_, overDraw_, braceHt_})
        ->itemIndex();
}

MainWindowState::Page TArrowSel::page() const {
    // The tab widget always holds the four pages, so only an index it never gives falls back.
    return engine::pageAt(shaftsNB_->currentIndex()).value_or(Page::Hunt);
}

std::string TArrowSel::labelText(Label label) const {
    switch (label) {
    case Label::TmpLbl:
        return tmpLbl_->text().toStdString();
    case Label::SpcLbl:
        return spcLbl_->text().toStdString();
    case Label::Mods:
        return mods_->text().toStdString();
    case Label::TmpLbl2:
        return tmpLbl2_->text().toStdString();
    }
    return {};
}

std::string TArrowSel::cellCaption(Page page, int row, Column column) const {
    const PageGrid& g = grids_[std::size_t(page)];
    if (row < 1 || row > int(g.size.size())) {
        return {};
    }
    const std::vector<TCellButton*>* columns[] = {&g.size, &g.spine, &g.model, &g.weight};
    return (*columns[std::size_t(column)])[std::size_t(row - 1)]->caption().toStdString();
}

std::filesystem::path TArrowSel::dataFolder() const {
    return engine_.dataFolder();
}

void TArrowSel::setPage(Page page) {
    shaftsNB_->setCurrentIndex(engine::pageIndex(page));
}

void TArrowSel::setEditText(Edit edit, const std::string& text) {
    widgets::TNumEdit* edits[] = {bowWeightSpin_, arrowLengthSpin_, pointWtSpin_, youthBowWtSpin_, youthArrowLenSpin_};
    edits[std::size_t(edit)]->setText(toQt(text));
}

void TArrowSel::setItemIndex(Group group, int index) {
    widgets::TRadioGroup* g =
        groupOf(group, {bowType_, targBowType_, huntCamType_, wheelType_, releaseType_, overDraw_, braceHt_});
    g->setItemIndex(std::clamp(index, -1, int(g->items().size()) - 1));
}

} // namespace arrowsel::app
