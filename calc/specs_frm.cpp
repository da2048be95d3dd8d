// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/specs_frm.h"

#include "calc/about_box1.h"
#include "calc/arrow_weight.h"
#include "calc/calc_windows.h"
#include "calc/ke_calc2.h"
#include "calc/speed_panel.h"
#include "ui/guarded.h"
#include "ui/message_seam.h"
#include "ui/qt_text.h"
#include "widgets/alert_label.h"
#include "widgets/ink.h"
#include "widgets/value_label.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <array>
#include <utility>

namespace arrowsel::calc {

using ui::toQt;

namespace {

// The fields shown as they stand, with their captions.
constexpr std::array<std::pair<const char*, const char*>, 7> kSpecificationFields = {{
    {"ARROWTYPE", QT_TRANSLATE_NOOP("arrowsel::calc::TSpecsFrm", "Shaft Type:")},
    {"LENGTH", QT_TRANSLATE_NOOP("arrowsel::calc::TSpecsFrm", "Maximum Length:")},
    {"OD", QT_TRANSLATE_NOOP("arrowsel::calc::TSpecsFrm", "Outside Diameter:")},
    {"GPI", QT_TRANSLATE_NOOP("arrowsel::calc::TSpecsFrm", "Grains per Inch:")},
    {"WALL", QT_TRANSLATE_NOOP("arrowsel::calc::TSpecsFrm", "Wall Thickness:")},
    {"ID", QT_TRANSLATE_NOOP("arrowsel::calc::TSpecsFrm", "Inside Diameter:")},
    {"SPINE", QT_TRANSLATE_NOOP("arrowsel::calc::TSpecsFrm", "Spine at 29\":")},
}};

QString heading(const QString& caption) {
    return QString(caption).remove(QLatin1Char(':'));
}

QDoubleSpinBox* weightSpin(const QString& name, double step, double max) {
    auto* spin = new QDoubleSpinBox;
    spin->setObjectName(name);
    spin->setLocale(QLocale::c());
    spin->setDecimals(2);
    spin->setRange(0.0, max);
    spin->setSingleStep(step);
    return spin;
}

// The window has no default button: Return in a weight box opens nothing.
QPushButton* button(const QString& text, const QString& name, const QString& accessibleName) {
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    b->setAccessibleName(accessibleName);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TSpecsFrm::TSpecsFrm(SpecsRequest request, QWidget* parent) : QDialog(parent), request_(std::move(request)) {
    setObjectName(QStringLiteral("TSpecsFrm"));
    setWindowTitle(tr("2009 Arrow Weight Calculator/Specifications"));
    buildControls();
    FormCreate();
}

TSpecsFrm::~TSpecsFrm() = default;

void TSpecsFrm::buildControls() {
    auto* top = new QHBoxLayout;
    top->addLayout(specificationRows());
    top->addSpacing(24);
    top->addLayout(shaftColumn());
    QFormLayout* weights = weightRows();
    addTotalRows(weights);
    auto* note = new QLabel(tr("Note: Specs of shaft type Aluminum are from KV63 shafts."));
    note->setObjectName(QStringLiteral("NoteLbl"));
    auto* layout = new QVBoxLayout;
    layout->addLayout(top);
    layout->addLayout(weights);
    layout->addWidget(note);
    layout->addLayout(buttonRow());
    addSpeedBlock(layout);
}

// The speed and energy of the finished arrow stand in a column of their own beside all the window
// had before, so that nothing there moves or changes its size, and the window grows no taller.
// Their inputs follow the weights in the tab order.
void TSpecsFrm::addSpeedBlock(QVBoxLayout* weighing) {
    speed_ = new TSpeedPanel;
    connect(speed_, &TSpeedPanel::changed, this, &TSpecsFrm::ChangeOptions);
    speed_->addButton(buildSheetButton());
    auto* columns = new QHBoxLayout(this);
    columns->addLayout(weighing);
    columns->addSpacing(8);
    columns->addWidget(speed_, 1, Qt::AlignTop);
    QWidgetList chain = speed_->tabOrder();
    chain.prepend(vanes_);
    chain.append(printSheet_);
    chain.append(findChild<QPushButton*>(QStringLiteral("CalcSpeedButton")));
    for (qsizetype i = 1; i < chain.size(); ++i) {
        setTabOrder(chain[i - 1], chain[i]);
    }
}

QFormLayout* TSpecsFrm::specificationRows() {
    auto* specs = new QFormLayout;
    for (const auto& [field, caption] : kSpecificationFields) {
        const QString shown = tr(caption);
        auto* value = new widgets::TValueLabel(heading(shown));
        value->setObjectName(QString::fromLatin1(field));
        value->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        specs->addRow(shown, value);
    }
    return specs;
}

QVBoxLayout* TSpecsFrm::shaftColumn() {
    auto* sizeCaption = new QLabel(tr("Shaft Size & Models:"));
    size_ = new widgets::TValueLabel(tr("Shaft Size"));
    size_->setObjectName(QStringLiteral("Label4"));
    models_ = new widgets::TValueLabel(tr("Models"));
    models_->setObjectName(QStringLiteral("Mods"));
    models_->setWordWrap(true);
    auto* shaft = new QVBoxLayout;
    shaft->addWidget(sizeCaption);
    shaft->addWidget(size_);
    shaft->addWidget(models_);
    return shaft;
}

QFormLayout* TSpecsFrm::weightRows() {
    length_ = weightSpin(QStringLiteral("FSpinEdit1"), 0.25, 38.0);
    point_ = weightSpin(QStringLiteral("FSpinEdit3"), 1.0, 9999.0);
    nock_ = weightSpin(QStringLiteral("FSpinEdit2"), 1.0, 9999.0);
    insert_ = weightSpin(QStringLiteral("FSpinEdit5"), 1.0, 9999.0);
    vanes_ = weightSpin(QStringLiteral("FSpinEdit4"), 1.0, 9999.0);
    auto* weights = new QFormLayout;
    const std::pair<QDoubleSpinBox*, QString> rows[] = {{length_, tr("Arrow Length:")},
                                                        {point_, tr("Point Weight:")},
                                                        {nock_, tr("Nock System Weight:")},
                                                        {insert_, tr("Insert Weight:")},
                                                        {vanes_, tr("Fletching Weight:")}};
    for (const auto& [spin, caption] : rows) {
        spin->setAccessibleName(QString(caption).remove(QLatin1Char(':')));
        weights->addRow(caption, spin);
        connect(spin, &QDoubleSpinBox::valueChanged, this, &TSpecsFrm::ChangeOptions);
    }

    return weights;
}

// The shaft and total weights, grains per pound, and the two notes that share one line below them.
void TSpecsFrm::addTotalRows(QFormLayout* weights) {
    shaftWeight_ = new widgets::TValueLabel(tr("Shaft Weight"));
    shaftWeight_->setObjectName(QStringLiteral("Label21"));
    auto* totalWeight = new widgets::TValueLabel(tr("Approx. Total Arrow Weight"));
    totalWeight_ = totalWeight;
    totalWeight_->setObjectName(QStringLiteral("Label9"));
    grainsPerPound_ = new widgets::TValueLabel(tr("Grains per pound of draw weight"));
    grainsPerPound_->setObjectName(QStringLiteral("GrainsPerLbLbl"));
    lightArrow_ = new widgets::TAlertLabel(tr("Warning: under 5 grains per pound of draw weight. An arrow this "
                                              "light can damage the bow, as a dry fire does."));
    lightArrow_->setObjectName(QStringLiteral("LightArrowLbl"));
    lightArrow_->setWordWrap(true);
    QFont bold = lightArrow_->font();
    bold.setBold(true);
    lightArrow_->setFont(bold);
    widgets::keepChosenInk(*lightArrow_, QColor(0xC0, 0x00, 0x00));
    // The warning's line is kept while it is hidden, so nothing below it moves when it comes and goes.
    QSizePolicy keepLine = lightArrow_->sizePolicy();
    keepLine.setRetainSizeWhenHidden(true);
    lightArrow_->setSizePolicy(keepLine);
    lightArrow_->hide();
    noShaft_ = new QLabel(tr("No shaft chosen: click a shaft's size on the main window."));
    noShaft_->setObjectName(QStringLiteral("NoShaftLbl"));
    noShaft_->hide();
    auto* totalRow = new QHBoxLayout;
    totalRow->addWidget(totalWeight_);
    totalRow->addWidget(grainsPerPound_);
    totalRow->addStretch();
    auto* totalCaption = new QLabel(tr("Approx. Total Arrow Weight:"));
    totalWeight->setHeadingLabel(totalCaption);
    weights->addRow(tr("Shaft Weight:"), shaftWeight_);
    weights->addRow(totalCaption, totalRow);
    // The two notes share the warning's line.
    auto* notes = new QGridLayout;
    notes->addWidget(lightArrow_, 0, 0);
    notes->addWidget(noShaft_, 0, 0, Qt::AlignTop);
    weights->addRow(notes);
}

QHBoxLayout* TSpecsFrm::buttonRow() {
    auto* exit = button(tr("&Close"), QStringLiteral("ExitBtn"), tr("Close"));
    auto* calc = button(tr("Kinetic Energy &&\nF.O.C. Calculator"), QStringLiteral("CalcSpeedButton"),
                        tr("Kinetic Energy & F.O.C. Calculator"));
    auto* models = button(tr("2009 Shaft\nModels"), QStringLiteral("ModelsSpeedButton"), tr("2009 Shaft Models"));
    connect(exit, &QPushButton::clicked, this, &TSpecsFrm::ExitBtnClick);
    connect(calc, &QPushButton::clicked, this, &TSpecsFrm::CalcSpeedButtonClick);
    connect(models, &QPushButton::clicked, this, &TSpecsFrm::ModelsSpeedButtonClick);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(calc);
    buttons->addWidget(models);
    buttons->addStretch();
    buttons->addWidget(exit);

    return buttons;
}

QPushButton* TSpecsFrm::buildSheetButton() {
    printSheet_ = button(tr("Print &Build Sheet"), QStringLiteral("PrintBuildSheetBtn"), tr("Print Build Sheet"));
    // Return in a weight box must not print a page.
    printSheet_->setAutoDefault(false);
    printSheet_->setEnabled(false);
    connect(printSheet_, &QPushButton::clicked, this, &TSpecsFrm::PrintBuildSheetBtnClick);
    return printSheet_;
}

void TSpecsFrm::openTable() {
    openShaftTable(table_, request_.dataFolder, key_);
}

bool TSpecsFrm::hasShaft() const {
    return !key_.empty();
}

void TSpecsFrm::FormCreate() {
    key_ = specificationKey(request_.shaft.clickKey);
    openTable();

    {
        // The weights are computed once below, with every value in place.
        const QSignalBlocker b1(length_), b2(point_), b3(nock_), b4(vanes_), b5(insert_);
        const ArrowComponents start =
            startingComponents(request_.setup, request_.shaft.pageTag, hasShaft() ? &table_ : nullptr);
        length_->setValue(start.length);
        point_->setValue(start.point);
        nock_->setValue(start.nock);
        vanes_->setValue(start.vanes);
        insert_->setValue(start.insert);
    }
    size_->setText(toQt(request_.shaft.size));
    models_->setText(toQt(request_.shaft.models));
    noShaft_->setVisible(!hasShaft());
    showSpecification();
    computeWeights();
}

void TSpecsFrm::showSpecification() {
    for (const auto& [field, caption] : kSpecificationFields) {
        if (auto* value = findChild<QLabel*>(QString::fromLatin1(field))) {
            value->setText(hasShaft() ? toQt(table_.fieldText(field)) : QString());
        }
    }
}

void TSpecsFrm::ChangeOptions() {
    if (!table_.isOpen() && !ui::runGuarded(this, [this] { openTable(); })) {
        return;
    }
    ui::runGuarded(this, [this] { computeWeights(); });
}

void TSpecsFrm::computeWeights() {
    if (!hasShaft()) {
        return;
    }
    double gpi = 0;
    if (!ui::runGuarded(this, [this, &gpi] { gpi = grainsPerInch(table_.fieldText("GPI"), request_.shaft.models); })) {
        // The figures shown are those of the last inputs that could be weighed: none print.
        arrow_.reset();
        printSheet_->setEnabled(false);
        return;
    }
    const std::string& page = request_.shaft.pageTag;
    const FinishedArrow arrow = finishArrow(gpi, components(), drawWeightText(request_.setup, page),
                                            bowKind(request_.setup, page), speed_->speedInputs(), speed_->balance());
    shaftWeight_->setText(tr("%1 Gr.").arg(toQt(arrow.weights.shaft)));
    totalWeight_->setText(tr("%1 Gr.").arg(toQt(arrow.weights.total)));
    const auto& perPound = arrow.perPound;
    grainsPerPound_->setText(perPound ? tr("(%1 Gr./Lb.)").arg(toQt(perPound->text)) : QString());
    lightArrow_->setVisible(perPound && perPound->tooLight);
    speed_->showResults(arrow);
    arrow_ = arrow;
    printSheet_->setEnabled(true);
}

ArrowComponents TSpecsFrm::components() const {
    return {length_->value(), nock_->value(), point_->value(), vanes_->value(), insert_->value()};
}

void TSpecsFrm::ExitBtnClick() {
    table_.closeIndexes();
    table_.close();
    reject();
}

void TSpecsFrm::CalcSpeedButtonClick() {
    TKECalc2 calculator(request_.dataFolder, this);
    ui::MessageSeam::current().execModal(calculator);
}

void TSpecsFrm::PrintBuildSheetBtnClick() {
    if (!arrow_) {
        return;
    }
    const std::optional<QString> customer = ui::MessageSeam::current().inputText(
        this, tr("Print Build Sheet"), tr("Customer's name for the build sheet (may stay empty):"), QString());
    if (!customer) {
        return;
    }
    BuildSheet sheet;
    const ShaftChoice& shaft = request_.shaft;
    if (!ui::runGuarded(this, [&] { sheet.shaft = shaftTexts(table_, shaft.clickKey, shaft.size, shaft.models); })) {
        return;
    }
    sheet.customer = customer->trimmed().toStdString();
    sheet.pageTag = request_.shaft.pageTag;
    sheet.parts = components();
    sheet.speedInputs = speed_->speedInputs();
    sheet.balance = speed_->balance();
    sheet.arrow = *arrow_;
    printBuildSheet(this, sheet);
}

void TSpecsFrm::ModelsSpeedButtonClick() {
    TAboutBox1 guide(request_.dataFolder, request_.shaft.pageTag, this);
    ui::MessageSeam::current().execModal(guide);
}

} // namespace arrowsel::calc
