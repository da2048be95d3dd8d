// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/speed_panel.h"

#include "ui/qt_text.h"
#include "ui/translations.h"
#include "widgets/value_label.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

namespace arrowsel::calc {

namespace {

// Every text of the block, in one place, in the language installed when it is made: made for each
// use, so that a language installed later is taken up.
struct Texts {
    QString title = TSpeedPanel::tr("Speed and Energy");
    QString rating = TSpeedPanel::tr("Speed &Rating:");
    QString ratingKindName = TSpeedPanel::tr("Speed rating standard");
    QString ratedSpeedName = TSpeedPanel::tr("Speed rating in feet per second");
    QString drawLength = TSpeedPanel::tr("&Draw Length:");
    QString drawLengthName = TSpeedPanel::tr("Draw length in inches");
    QString drawLengthTip = TSpeedPanel::tr("The archer's draw length; the rating is for 30 inches.");
    QString stringWeight = TSpeedPanel::tr("&Weight on String:");
    QString stringWeightName = TSpeedPanel::tr("Weight on the string in grains");
    QString stringWeightTip = TSpeedPanel::tr("Peep sight, D-loop, silencers and string stops, in grains.");
    QString measured = TSpeedPanel::tr("&Measured Speed:");
    QString measuredName = TSpeedPanel::tr("Measured speed in feet per second");
    QString measuredTip = TSpeedPanel::tr("A chronograph reading; it replaces the estimate.");
    QString balance = TSpeedPanel::tr("Balance &Point:");
    QString balanceName = TSpeedPanel::tr("Balance point from the nock groove in inches");
    QString balanceTip = TSpeedPanel::tr("The balance point's distance from the nock groove, for the front of center.");
    QString none = TSpeedPanel::tr("None");
    QString feetPerSecond = TSpeedPanel::tr(" ft/s");
    QString inches = TSpeedPanel::tr(" in");
    QString grains = TSpeedPanel::tr(" Gr.");
    QString speed = TSpeedPanel::tr("Speed:");
    QString energy = TSpeedPanel::tr("Kinetic Energy:");
    QString momentum = TSpeedPanel::tr("Momentum:");
    QString gameClass = TSpeedPanel::tr("Game Class:");
    QString foc = TSpeedPanel::tr("Front of Center:");
    QString estimated = TSpeedPanel::tr("%1 ft/s (estimate)");
    QString measuredSpeed = TSpeedPanel::tr("%1 ft/s (measured)");
    QString energyValue = TSpeedPanel::tr("%1 Ft. Lbs.");
    QString momentumValue = TSpeedPanel::tr("%1 Slug Ft/Sec");
    QString estimateNote = TSpeedPanel::tr("An estimate from the %1 rating by the shop rule of thumb (see the "
                                           "guide); a chronograph reading is the true figure.");
    QString measuredNote = TSpeedPanel::tr("The speed is the measured one; no estimate is made.");
};

template <typename Spin> Spin* spinBox(const QString& name, const QString& accessibleName, const QString& tip) {
    auto* spin = new Spin;
    spin->setObjectName(name);
    spin->setLocale(QLocale::c());
    spin->setAccessibleName(accessibleName);
    spin->setToolTip(tip);
    return spin;
}

QLabel* caption(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TSpeedPanel::TSpeedPanel(QWidget* parent) : QGroupBox(parent) {
    setObjectName(QStringLiteral("SpeedPanel"));
    setTitle(Texts().title);
    // One column of captions and one of inputs and figures.
    new QGridLayout(this);
    addInputs();
    addResults();
}

void TSpeedPanel::addInputs() {
    const Texts t;
    auto* grid = static_cast<QGridLayout*>(layout());

    rating_ = new QComboBox;
    rating_->setObjectName(QStringLiteral("SpeedRatingKind"));
    rating_->addItems({ui::coreText("SpeedRating", speedRatingName(SpeedRating::Ibo)),
                       ui::coreText("SpeedRating", speedRatingName(SpeedRating::Ata))});
    rating_->setAccessibleName(t.ratingKindName);
    ratedSpeed_ = spinBox<QSpinBox>(QStringLiteral("SpeedRatingSpin"), t.ratedSpeedName, QString());
    ratedSpeed_->setRange(0, 500);
    ratedSpeed_->setSpecialValueText(t.none);
    ratedSpeed_->setSuffix(t.feetPerSecond);
    ratedSpeed_->setMinimumWidth(ratedSpeed_->fontMetrics().horizontalAdvance(QStringLiteral("0000 ft/s")) + 32);
    auto* ratingRow = new QHBoxLayout;
    ratingRow->addWidget(rating_);
    ratingRow->addWidget(ratedSpeed_, 1);
    grid->addWidget(caption(t.rating, rating_), 0, 0);
    grid->addLayout(ratingRow, 0, 1);

    drawLength_ = spinBox<QDoubleSpinBox>(QStringLiteral("DrawLengthSpin"), t.drawLengthName, t.drawLengthTip);
    drawLength_->setRange(10.0, 40.0);
    drawLength_->setSingleStep(0.25);
    drawLength_->setSuffix(t.inches);
    drawLength_->setValue(ratingConditions(SpeedRating::Ibo).drawLength);
    grid->addWidget(caption(t.drawLength, drawLength_), 1, 0);
    grid->addWidget(drawLength_, 1, 1);

    stringWeight_ = spinBox<QSpinBox>(QStringLiteral("StringWeightSpin"), t.stringWeightName, t.stringWeightTip);
    stringWeight_->setRange(0, 500);
    stringWeight_->setSuffix(t.grains);
    grid->addWidget(caption(t.stringWeight, stringWeight_), 2, 0);
    grid->addWidget(stringWeight_, 2, 1);

    measuredSpeed_ = spinBox<QSpinBox>(QStringLiteral("MeasuredSpeedSpin"), t.measuredName, t.measuredTip);
    measuredSpeed_->setRange(0, 999);
    measuredSpeed_->setSpecialValueText(t.none);
    measuredSpeed_->setSuffix(t.feetPerSecond);
    grid->addWidget(caption(t.measured, measuredSpeed_), 3, 0);
    grid->addWidget(measuredSpeed_, 3, 1);

    balance_ = spinBox<QDoubleSpinBox>(QStringLiteral("BalancePointSpin"), t.balanceName, t.balanceTip);
    balance_->setRange(0.0, 40.0);
    balance_->setSingleStep(0.25);
    balance_->setSpecialValueText(t.none);
    balance_->setSuffix(t.inches);
    grid->addWidget(caption(t.balance, balance_), 4, 0);
    grid->addWidget(balance_, 4, 1);

    connect(rating_, &QComboBox::currentIndexChanged, this, &TSpeedPanel::changed);
    for (QSpinBox* spin : {ratedSpeed_, stringWeight_, measuredSpeed_}) {
        connect(spin, &QSpinBox::valueChanged, this, &TSpeedPanel::changed);
    }
    for (QDoubleSpinBox* spin : {drawLength_, balance_}) {
        connect(spin, &QDoubleSpinBox::valueChanged, this, &TSpeedPanel::changed);
    }
}

void TSpeedPanel::addResults() {
    const Texts t;
    auto* grid = static_cast<QGridLayout*>(layout());
    const std::pair<QLabel**, std::pair<const char*, const QString*>> results[] = {
        {&speed_, {"SpeedLbl", &t.speed}},
        {&energy_, {"EnergyLbl", &t.energy}},
        {&momentum_, {"MomentumLbl", &t.momentum}},
        {&gameClass_, {"GameClassLbl", &t.gameClass}},
        {&foc_, {"FocLbl", &t.foc}},
    };
    int row = grid->rowCount();
    for (const auto& [member, what] : results) {
        auto* heading = new QLabel(*what.second);
        auto* value = new widgets::TValueLabel(QString(*what.second).remove(QLatin1Char(':')));
        value->setObjectName(QString::fromLatin1(what.first));
        value->setHeadingLabel(heading);
        value->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        // Room for the longest figure, so a new value never widens the window.
        const QFontMetrics metrics = value->fontMetrics();
        value->setMinimumWidth(std::max({metrics.horizontalAdvance(t.estimated.arg(999)),
                                         metrics.horizontalAdvance(t.momentumValue.arg(QStringLiteral("0.000"))),
                                         metrics.horizontalAdvance(t.energyValue.arg(QStringLiteral("000.00")))}));
        grid->addWidget(heading, row, 0);
        grid->addWidget(value, row, 1);
        *member = value;
        ++row;
    }
    note_ = new QLabel;
    note_->setObjectName(QStringLiteral("SpeedNoteLbl"));
    note_->setWordWrap(true);
    // Three lines are kept for the note, so nothing moves when it changes.
    note_->setMinimumHeight(3 * note_->fontMetrics().lineSpacing());
    note_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(note_, row, 0, 1, 2);
}

QWidgetList TSpeedPanel::tabOrder() const {
    return {rating_, ratedSpeed_, drawLength_, stringWeight_, measuredSpeed_, balance_};
}

void TSpeedPanel::addButton(QPushButton* button) {
    auto* grid = static_cast<QGridLayout*>(layout());
    grid->addWidget(button, grid->rowCount(), 1, Qt::AlignRight);
}

SpeedInputs TSpeedPanel::speedInputs() const {
    SpeedInputs in;
    in.rating = rating_->currentIndex() == 1 ? SpeedRating::Ata : SpeedRating::Ibo;
    in.ratedSpeed = ratedSpeed_->value();
    in.drawLength = drawLength_->value();
    in.stringGrains = stringWeight_->value();
    in.measuredSpeed = measuredSpeed_->value();
    return in;
}

double TSpeedPanel::balance() const {
    return balance_->value();
}

void TSpeedPanel::showResults(const FinishedArrow& arrow) {
    const Texts t;
    const ArrowSpeed& s = arrow.speed;
    foc_->setText(arrow.frontOfCenter ? ui::toQt(*arrow.frontOfCenter) : QString());
    if (s.source == SpeedSource::None) {
        for (QLabel* l : {speed_, energy_, momentum_, gameClass_}) {
            l->clear();
        }
        // The reasons are the core's, shared with the printed sheet and the command line.
        note_->setText(ui::coreText("NoSpeed", noSpeedText(s.why)));
        return;
    }
    const bool measured = s.source == SpeedSource::Measured;
    speed_->setText((measured ? t.measuredSpeed : t.estimated).arg(s.feetPerSecond));
    energy_->setText(t.energyValue.arg(ui::toQt(s.energy.text)));
    momentum_->setText(t.momentumValue.arg(ui::toQt(s.momentum)));
    gameClass_->setText(ui::coreText("GameClass", s.gameClass));
    note_->setText(measured ? t.measuredNote
                            : t.estimateNote.arg(ui::coreText("SpeedRating", speedRatingName(speedInputs().rating))));
}

void TSpeedPanel::clearResults() {
    for (QLabel* l : {speed_, energy_, momentum_, gameClass_, foc_, note_}) {
        l->clear();
    }
}

} // namespace arrowsel::calc
