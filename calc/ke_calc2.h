// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "calc/kinetic_energy.h"

#include <QDialog>
#include <filesystem>

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class QVBoxLayout;

namespace arrowsel::widgets {
class TNumEdit;
}

namespace arrowsel::calc {

class TEnergyGauge;
class TPictureAnimator;

// The kinetic energy and front-of-centre calculator: two pages, each computed on its own
// "Calculate" button. Problems are told through the message seam. The animation's pictures are
// read from `pictureFolder`.
class TKECalc2 : public QDialog {
    Q_OBJECT
public:
    explicit TKECalc2(std::filesystem::path pictureFolder, QWidget* parent = nullptr);

    void GrainWtChange();
    void FOCCalcBtnClick();
    void KECloseBtnClick();
    void FormActivate();

protected:
    bool event(QEvent* event) override;

private:
    QWidget* makeEnergyPage();
    QWidget* makeFocPage();
    void playPictures(PictureList list);
    void addMomentum(QVBoxLayout* energyBox);
    QPushButton* pageCalculate(int page) const;

    std::filesystem::path pictureFolder_;
    QStackedWidget* pages_ = nullptr;
    widgets::TNumEdit* grainWt_ = nullptr;
    widgets::TNumEdit* velocity_ = nullptr;
    QLabel* energy_ = nullptr;
    QLabel* momentum_ = nullptr;
    TEnergyGauge* gauge_ = nullptr;
    TPictureAnimator* animator_ = nullptr;
    QDoubleSpinBox* length_ = nullptr;
    QDoubleSpinBox* balance_ = nullptr;
    QLabel* foc_ = nullptr;
};

} // namespace arrowsel::calc
