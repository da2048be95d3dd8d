// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "calc/finished_arrow.h"

#include <QGroupBox>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace arrowsel::calc {

// The specifications window's speed and energy block: the bow's speed rating and the archer's
// draw, what sits on the string, a chronograph reading and the arrow's balance point; and what
// follows from them for the finished arrow (speed, kinetic energy, momentum, game class, front of
// centre). Changing any input emits changed(); the window recomputes and calls showResults().
class TSpeedPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit TSpeedPanel(QWidget* parent = nullptr);

    SpeedInputs speedInputs() const;
    double balance() const; // inches from the nock groove; 0: none given

    void showResults(const FinishedArrow& arrow);
    void clearResults();
    // Puts `button` at the block's foot, under the figures it acts on.
    void addButton(QPushButton* button);
    // The inputs in the order Tab visits them.
    QWidgetList tabOrder() const;

signals:
    void changed();

private:
    void addInputs();
    void addResults();

    QComboBox* rating_ = nullptr;
    QSpinBox* ratedSpeed_ = nullptr;
    QDoubleSpinBox* drawLength_ = nullptr;
    QSpinBox* stringWeight_ = nullptr;
    QSpinBox* measuredSpeed_ = nullptr;
    QDoubleSpinBox* balance_ = nullptr;
    QLabel* speed_ = nullptr;
    QLabel* energy_ = nullptr;
    QLabel* momentum_ = nullptr;
    QLabel* gameClass_ = nullptr;
    QLabel* foc_ = nullptr;
    QLabel* note_ = nullptr;
};

} // namespace arrowsel::calc
