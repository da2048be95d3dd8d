// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's four pages: each page's grid of result cells (size, spine, models, weight in
// rows 23 pixels apart), its model legend, its command buttons and year button, and on the
// Hunting page the colour key and the carbon panel that lies over the grid's top rows.
#include "app/arrow_sel.h"
#include "app/arrow_sel_parts.h"
#include "engine/chart_rules.h"
#include "engine/pages.h"
#include "present/control_states.h"
#include "ui/translations.h"
#include "widgets/cell_button.h"
#include "widgets/colors.h"
#include "widgets/ink.h"
#include "widgets/link_label.h"
#include "widgets/page_control.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <array>
#include <iterator>
#include <utility>
#include <vector>

namespace arrowsel::app {

using widgets::colorFromBgr;
using widgets::TCellButton;

namespace {

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
    return ui::coreText("Page", engine::pageFacts(page).title);
}

// The legends' words are the window's; lupdate finds them here, legendHtml translates them.
constexpr const char* kContext = "arrowsel::app::TArrowSel";

QString inWindow(const char* english) {
    return QCoreApplication::translate(kContext, english);
}

using LegendRow = std::pair<const char*, const char*>;

// A model legend: abbreviation in bold, then what it stands for.
QString legendHtml(const std::vector<LegendRow>& rows) {
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\">");
    for (const auto& [code, meaning] : rows) {
        html += QStringLiteral("<tr><td><b>%1</b></td><td>&nbsp;%2</td></tr>")
                    .arg(inWindow(code).toHtmlEscaped(), inWindow(meaning).toHtmlEscaped());
    }
    return html + QStringLiteral("</table>");
}

// The models the Hunting and Target charts both list.
const LegendRow kSharedModels[] = {
    {QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "63"),
     QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "KV63 coated aluminium")},
    {QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "VT"),
     QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "Vantage aluminium")},
    {QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "TL"),
     QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "Talon carbon")},
    {QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "VR"),
     QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "Vireo aluminium/carbon")},
};

// The Hunting or Target legend's rows: the page's own first model, the shared ones, then `after`.
std::vector<LegendRow> withSharedModels(LegendRow first, std::initializer_list<LegendRow> after = {}) {
    std::vector<LegendRow> rows{first};
    rows.insert(rows.end(), std::begin(kSharedModels), std::end(kSharedModels));
    rows.insert(rows.end(), after);
    return rows;
}

QString pageLegend(engine::Page page) {
    const QString sizes = QStringLiteral("<p>%1</p>")
                              .arg(inWindow(QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel",
                                                              "Aluminium sizes: 2213 = 22/64\" across, .013\" wall. "
                                                              "Carbon sizes give the spine.")));
    const QString models =
        QStringLiteral("<b>%1</b>").arg(inWindow(QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "Models")));
    switch (page) {
    case engine::Page::Hunt:
        return models +
               legendHtml(withSharedModels(
                   {QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "RD,63"),
                    QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "Raider and KV63: two weights, plain then coated")},
                   {{QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "Carbon"),
                     QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "see Details in the weight column")}})) +
               sizes;
    case engine::Page::Targ:
        return models +
               legendHtml(withSharedModels({QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "N4,63"),
                                            QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel",
                                                              "Nimbus and KV63: two weights, plain then coated")})) +
               sizes;
    case engine::Page::Youth:
        return models +
               legendHtml({{QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "SP"),
                            QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "Sprout light aluminium")},
                           {QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "FL"),
                            QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "Fledge light carbon")}}) +
               sizes;
    case engine::Page::Orvk:
        return QStringLiteral("<b>%1</b>")
                   .arg(inWindow(QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "Orvik models"))) +
               legendHtml({{QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "ST"),
                            QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "Orvik Strand carbon")},
                           {QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "KE"),
                            QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "Orvik Keel heavy carbon")},
                           {QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "PK"),
                            QT_TRANSLATE_NOOP("arrowsel::app::TArrowSel", "Orvik Pike aluminium")}}) +
               sizes;
    }
    return {};
}

} // namespace

void TArrowSel::buildPages(QWidget* client) {
    shaftsNB_ = new widgets::TPageControl(QSize(115, 35), client);
    shaftsNB_->setObjectName(QStringLiteral("ShaftsNB"));
    shaftsNB_->setGeometry(246, 4, 538, 534);
    shaftsNB_->setAccessibleName(tr("Charts"));
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

    const std::array<QString, 4> heads{tr("Size"), tr("Spine"), tr("Models"), tr("Weight")};
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
    const std::array<QString, 4> roles{tr("size"), tr("spine"), tr("model"), tr("weight")};
    for (int row = firstRow; row <= lastRow; ++row) {
        const int y = top + (row - firstRow) * kRowStep;
        for (std::size_t c = 0; c < 4; ++c) {
            auto* b = new TCellButton(parent);
            b->setObjectName(letter + QString::fromLatin1(kinds[c]) + QString::number(row));
            b->setGeometry(kColumns[c].x, y, kColumns[c].width, kRowHeight);
            b->setAccessibleFallback(tr("%1 row %2 %3").arg(title).arg(row).arg(roles[c]));
            std::vector<TCellButton*>* column[] = {&grid.size, &grid.spine, &grid.model, &grid.weight};
            (*column[c])[std::size_t(row - 1)] = b;
            b->setFocusPolicy(Qt::NoFocus);
        }
        TCellButton* size = grid.size[std::size_t(row - 1)];
        size->setFocusPolicy(Qt::StrongFocus);
        size->setPointingCursor(true);
        connect(size, &TCellButton::clicked, this, [this, size] { TSzBtnClick(size); });
        if (page == engine::Page::Hunt && (row == 9 || row == 17)) {
            size->setHint(tr("Click Details Button in Weight Column"));
        } else {
            size->setHint(orvik ? tr("Orvik Arrow Size") : tr("Click for Weight Calculation and Specs"));
        }
        grid.spine[std::size_t(row - 1)]->setHint(tr("Spine Value"));
        grid.model[std::size_t(row - 1)]->setHint(orvik ? tr("Orvik Arrow Model") : tr("Standard Catagories"));
        grid.weight[std::size_t(row - 1)]->setHint(tr("Bare Shaft Weight in Grains"));
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
        auto* text = new QLabel(tr("= %1.").arg(ui::coreText("ColorBand", present::bandMeaning(bands[i]))), parent);
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
    cawtPanel_->setAccessibleName(tr("Carbon Shafts"));

    auto* header = new QLabel(tr("Carbon Shafts"), cawtPanel_);
    QFont f = header->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    header->setFont(f);
    header->setAlignment(Qt::AlignCenter);
    header->setGeometry(4, 4, 368, 22);
    const std::array<QString, 4> heads{tr("Size"), tr("Spine"), tr("Models"), tr("Weight")};
    for (std::size_t c = 0; c < heads.size(); ++c) {
        auto* head = new QLabel(heads[c], cawtPanel_);
        head->setAlignment(Qt::AlignCenter);
        head->setGeometry(kColumns[c].x, 28, kColumns[c].width, 18);
    }
    buildGrid(engine::Page::Hunt, cawtPanel_, 10, 16, 48);
    auto* close = new QPushButton(tr("&Close"), cawtPanel_);
    close->setObjectName(QStringLiteral("CAWTCloseBtn"));
    close->setGeometry(376 / 2 - 50, 48 + 7 * kRowStep + 8, 100, 28);
    connect(close, &QPushButton::clicked, this, &TArrowSel::CloseCarbonBtn);
    cawtPanel_->hide();
}

void TArrowSel::buildCommandButtons(engine::Page page, QWidget* parent) {
    const QString p = QString::fromLatin1(pageLetter(page));
    const bool hunt = page == engine::Page::Hunt;
    auto button = [parent](const QString& name, const QString& caption, const QString& hint) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(name);
        b->setAutoDefault(false);
        if (!hint.isEmpty()) {
            b->setToolTip(hint);
        }
        return b;
    };
    const PagePrint print = pagePrint(page);
    QPushButton* get = button(hunt ? QStringLiteral("SpeedButton3") : p + QStringLiteral("GetSetupBtn"),
                              tr("&Get Setup"), tr("Look up a customer's saved setup"));
    QPushButton* save = button(hunt ? QStringLiteral("HSaveBtn") : p + QStringLiteral("SaveBtn"), tr("&Save Setup"),
                               tr("Save this setup with the customer's details"));
    QPushButton* printBtn =
        button(QString::fromLatin1(print.buttonName), tr("&Print"), tr("Print this page's recommendation"));
    QPushButton* exit = button(QStringLiteral("ExitBtn%1").arg(int(page) + 1), tr("E&xit"), {});
    QPushButton* models =
        button(p + QStringLiteral("ModelsBtn"), tr("2009 Shaft Models"), tr("Guide to this year's shaft models"));
    QPushButton* ke = button(hunt ? QStringLiteral("KECalcBtn") : p + QStringLiteral("KECalcBtn"),
                             tr("Kinetic Energy && FOC Calculator"), {});
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
    year->setToolTip(tr("2009 Shaft Models"));
    year->setAccessibleDescription(tr("2009 Shaft Models"));
    QFont f = year->font();
    f.setPointSize(26);
    f.setBold(true);
    year->setFont(f);
    widgets::keepChosenInk(*year, QColor(0x80, 0x00, 0x00));
    year->setGeometry(400, 4, 124, 52);
    connect(year, &widgets::TLabelButton::clicked, this, [this] { runCommand(Command::Models); });
}

} // namespace arrowsel::app
