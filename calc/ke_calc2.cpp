// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/ke_calc2.h"

#include "calc/energy_widgets.h"
#include "calc/kinetic_energy.h"
#include "calc/pictures.h"
#include "ui/guarded.h"
#include "ui/message_seam.h"
#include "ui/translations.h"
#include "widgets/num_edit.h"
#include "widgets/value_label.h"

#include <QButtonGroup>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <utility>

namespace arrowsel::calc {

namespace {

constexpr int kAnimationIntervalMs = 3000;

// A whole-number edit with its up-down; the label's text becomes the edit's accessible name.
widgets::TNumEdit* addWholeNumberRow(QGridLayout* grid, int row, const QString& caption, const QString& name,
                                     int initial) {
    auto* label = new QLabel(caption);
    auto* edit = new widgets::TNumEdit;
    edit->setObjectName(name);
    edit->setMaxLength(4);
    edit->setText(QString::number(initial));
    edit->setAccessibleName(QString(caption).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    label->setBuddy(edit);
    auto* upDown = new widgets::TUpDown(0, 9999, 10);
    upDown->setObjectName(name + QStringLiteral("UpDown"));
    upDown->associate(edit);
    edit->setFixedWidth(64);
    upDown->setFixedSize(18, edit->sizeHint().height());
    auto* box = new QHBoxLayout;
    box->setSpacing(0);
    box->addWidget(edit);
    box->addWidget(upDown);
    box->addStretch();
    grid->addWidget(label, row, 0);
    grid->addLayout(box, row, 1);
    return edit;
}

QDoubleSpinBox* addDecimalRow(QGridLayout* grid, int row, const QString& caption, const QString& letter,
                              const QString& name, double step, int decimals, double initial) {
    auto* label = new QLabel(caption);
    auto* spin = new QDoubleSpinBox;
    spin->setObjectName(name);
    spin->setLocale(QLocale::c());
    spin->setDecimals(decimals);
    spin->setRange(0.0, 999.99);
    spin->setSingleStep(step);
    spin->setValue(initial);
    spin->setAccessibleName(QString(caption).remove(QLatin1Char('&')) + QLatin1Char(' ') + letter);
    label->setBuddy(spin);
    grid->addWidget(label, row, 0);
    grid->addWidget(new QLabel(letter), row, 1);
    grid->addWidget(spin, row, 2);
    return spin;
}

QPushButton* button(const QString& text, const QString& name) {
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    b->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    return b;
}

} // namespace

TKECalc2::TKECalc2(std::filesystem::path pictureFolder, QWidget* parent)
    : QDialog(parent), pictureFolder_(std::move(pictureFolder)) {
    setObjectName(QStringLiteral("TKECalc2"));
    setWindowTitle(tr("2009 Kinetic Energy and Front of Center Calculators"));
    pages_ = new QStackedWidget;
    pages_->setObjectName(QStringLiteral("KEPages"));
    pages_->addWidget(makeEnergyPage());
    pages_->addWidget(makeFocPage());

    // The two pages are chosen with a pair of buttons, one held down for the page shown.
    auto* pageButtons = new QButtonGroup(this);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(0);
    const std::pair<const char*, QString> choices[] = {{"KEPageBtn", tr("Kinetic Energy")},
                                                       {"FOCPageBtn", tr("Front of Center")}};
    for (const auto& [name, text] : choices) {
        QPushButton* b = button(text, QString::fromLatin1(name));
        b->setCheckable(true);
        b->setAutoDefault(false);
        b->setMinimumWidth(140);
        pageButtons->addButton(b, static_cast<int>(pageButtons->buttons().size()));
        buttonRow->addWidget(b);
    }
    buttonRow->addStretch();
    pageButtons->button(0)->setChecked(true);
    // Checked by a click, a key, or a screen reader's Toggle action alike: each shows its page,
    // whose Calculate is then the button Return presses.
    connect(pageButtons, &QButtonGroup::idToggled, this, [this](int page, bool checked) {
        if (checked) {
            pages_->setCurrentIndex(page);
            pageCalculate(page)->setDefault(true);
        }
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttonRow);
    layout->addWidget(pages_);

    // Only now is the button in the dialog: as a default button it must be the dialog's own, or
    // the first button the focus passes through takes that place for good.
    pageCalculate(0)->setDefault(true);
    playPictures(PictureList::MediumImg);
}

QPushButton* TKECalc2::pageCalculate(int page) const {
    return pages_->widget(page)->findChild<QPushButton*>(page == 0 ? QStringLiteral("KECalcBtn")
                                                                   : QStringLiteral("FOCCalcBtn"));
}

void TKECalc2::playPictures(PictureList list) {
    animator_->play(QString::fromLatin1(pictureListName(list)), energyPictures(pictureFolder_, list));
    // What the pictures show, for those who cannot see them.
    animator_->setAccessibleName(ui::coreText("GameClass", gameClassName(list)));
}

QWidget* TKECalc2::makeEnergyPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("KEPage"));
    auto* inputs = new QGridLayout;
    grainWt_ = addWholeNumberRow(inputs, 0, tr("Total Grain Weight of Arrow Shaft:"), QStringLiteral("GrainWt"), 400);
    velocity_ = addWholeNumberRow(inputs, 1, tr("Impact Velocity (Feet/Second):"), QStringLiteral("Velocity"), 200);

    auto* heading = new QLabel(tr("Kinetic Energy (Foot Lbs.)"));
    auto* energy = new widgets::TValueLabel(heading->text());
    energy->setHeadingLabel(heading);
    energy_ = energy;
    energy_->setText(QStringLiteral("35.54"));
    energy_->setObjectName(QStringLiteral("Label6"));
    QFont big = energy_->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    energy_->setFont(big);

    auto* gaugeHeading = new QLabel(tr("Hunting Usage"));
    gauge_ = new TEnergyGauge;
    gauge_->setObjectName(QStringLiteral("GaugeBar1"));
    gauge_->setAccessibleName(gaugeHeading->text());
    gauge_->setValue(35);
    gauge_->setFixedSize(28, 150);
    auto* scale = new QVBoxLayout;
    for (const PictureList list :
         {PictureList::ToughImg, PictureList::BigImg, PictureList::MediumImg, PictureList::SmallImg}) {
        scale->addWidget(new QLabel(ui::coreText("GameClass", gameClassName(list))));
        scale->addStretch();
    }

    animator_ = new TPictureAnimator(kAnimationIntervalMs);
    animator_->setObjectName(QStringLiteral("Animator1"));
    animator_->setAccessibleDescription(tr("Game suited to this energy"));
    animator_->setFixedSize(150, 150);

    auto* gaugeBox = new QGridLayout;
    gaugeBox->addWidget(gaugeHeading, 0, 0, 1, 2);
    gaugeBox->addWidget(gauge_, 1, 0);
    gaugeBox->addLayout(scale, 1, 1);

    auto* results = new QHBoxLayout;
    auto* energyBox = new QVBoxLayout;
    energyBox->addWidget(heading);
    energyBox->addWidget(energy_);
    addMomentum(energyBox);
    energyBox->addStretch();
    results->addLayout(energyBox);
    results->addLayout(gaugeBox);
    results->addWidget(animator_);

    auto* calc = button(tr("C&alculate"), QStringLiteral("KECalcBtn"));
    auto* close = button(tr("&Close"), QStringLiteral("KECloseBtn"));
    connect(calc, &QPushButton::clicked, this, &TKECalc2::GrainWtChange);
    connect(close, &QPushButton::clicked, this, &TKECalc2::KECloseBtnClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(calc);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(inputs);
    layout->addLayout(results);
    layout->addLayout(buttons);
    return page;
}

// The momentum of the same weight and speed, under the energy, computed on the same button.
void TKECalc2::addMomentum(QVBoxLayout* energyBox) {
    auto* heading = new QLabel(tr("Momentum (Slug Ft/Sec)"));
    auto* momentum = new widgets::TValueLabel(heading->text());
    momentum->setHeadingLabel(heading);
    momentum->setObjectName(QStringLiteral("MomentumLbl"));
    momentum->setText(QString::fromStdString(momentumText(200, 400)));
    QFont bold = momentum->font();
    bold.setBold(true);
    momentum->setFont(bold);
    momentum_ = momentum;
    energyBox->addSpacing(8);
    energyBox->addWidget(heading);
    energyBox->addWidget(momentum_);
}

QWidget* TKECalc2::makeFocPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("FOCPage"));
    auto* inputs = new QGridLayout;
    length_ = addDecimalRow(inputs, 0, tr("Arrow Length"), tr("(L)"), QStringLiteral("FSpinLenEdit"), 0.1, 2, 30.0);
    balance_ = addDecimalRow(inputs, 1, tr("Balance distance from nock groove"), tr("(A)"),
                             QStringLiteral("FSpinBalEdit"), 0.25, 2, 15.0);

    auto* caption = new QLabel(tr("Front-of-Center Percent:"));
    auto* foc = new widgets::TValueLabel(tr("Front-of-Center Percent"));
    foc->setHeadingLabel(caption);
    foc_ = foc;
    foc_->setObjectName(QStringLiteral("Label9"));
    auto* result = new QHBoxLayout;
    result->addWidget(caption);
    result->addWidget(foc_);
    result->addStretch();

    auto* calc = button(tr("C&alculate"), QStringLiteral("FOCCalcBtn"));
    auto* close = button(tr("&Close"), QStringLiteral("FOCCloseBtn"));
    connect(calc, &QPushButton::clicked, this, &TKECalc2::FOCCalcBtnClick);
    connect(close, &QPushButton::clicked, this, &TKECalc2::KECloseBtnClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(calc);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(inputs);
    layout->addLayout(result);
    layout->addStretch();
    layout->addLayout(buttons);
    return page;
}

void TKECalc2::GrainWtChange() {
    const KineticEnergyRun run = runKineticEnergy(velocity_->text().toStdString(), grainWt_->text().toStdString());
    if (!run.information.empty()) {
        ui::MessageSeam::current().information(this, ui::coreText("KineticEnergy", run.information));
    } else if (!run.error.empty()) {
        ui::MessageSeam::current().error(this, QString::fromStdString(run.error));
    } else {
        energy_->setText(QString::fromStdString(run.result->text));
        momentum_->setText(QString::fromStdString(run.momentum));
        gauge_->setValue(run.result->gauge);
        playPictures(run.result->pictures);
    }
    grainWt_->setFocus();
}

void TKECalc2::FOCCalcBtnClick() {
    // The calculation fails only with the core's two fixed texts, shown in the window's language.
    ui::runGuarded(
        this,
        [this] {
            foc_->setText(QString::fromStdString(
                frontOfCenterText(static_cast<float>(length_->value()), static_cast<float>(balance_->value()))));
        },
        [](const QString& what) { return ui::coreText("FrontOfCenter", what.toStdString()); });
    length_->setFocus();
}

void TKECalc2::KECloseBtnClick() {
    reject();
}

void TKECalc2::FormActivate() {
    grainWt_->setFocus();
}

bool TKECalc2::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) {
        FormActivate();
    }
    return QDialog::event(e);
}

} // namespace arrowsel::calc
