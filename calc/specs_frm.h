// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "calc/finished_arrow.h"
#include "calc/specs_request.h"
#include "data/dbf_table.h"

#include <QDialog>
#include <optional>
#include <string>

class QDoubleSpinBox;
class QFormLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace arrowsel::calc {

class TSpeedPanel;

// The specification of the shaft chosen on the main window's grid, with the shaft's weight and
// the whole arrow's approximate weight. The shaft, its page and the setup are the request's, a
// copy taken when the window is made.
class TSpecsFrm : public QDialog {
    Q_OBJECT
public:
    // Throws data::ETableError when the specification table or its index cannot be opened, and
    // engine::EConvertError when the setup's arrow length (or, on the Hunting page, point weight)
    // is no whole number. With no shaft chosen (an empty key) it shows no shaft and no weights.
    explicit TSpecsFrm(SpecsRequest request, QWidget* parent = nullptr);
    ~TSpecsFrm() override;
    Q_DISABLE_COPY_MOVE(TSpecsFrm)

    const std::string& key() const { return key_; }

    void ChangeOptions();
    void ExitBtnClick();
    void CalcSpeedButtonClick();
    void ModelsSpeedButtonClick();
    // "Print Build Sheet": asks for the customer's name (which may stay empty) and prints the
    // finished arrow's sheet through the installed build sheet printer.
    void PrintBuildSheetBtnClick();

private:
    void buildControls();
    QFormLayout* specificationRows();
    QVBoxLayout* shaftColumn();
    QFormLayout* weightRows();
    void addTotalRows(QFormLayout* weights);
    QHBoxLayout* buttonRow();
    void addSpeedBlock(QVBoxLayout* weighing);
    QPushButton* buildSheetButton();
    void FormCreate();
    void openTable();
    void computeWeights();
    ArrowComponents components() const;
    bool hasShaft() const;
    void showSpecification();

    const SpecsRequest request_;
    data::TDbfTable table_;
    std::string key_;

    QDoubleSpinBox* length_ = nullptr;
    QDoubleSpinBox* point_ = nullptr;
    QDoubleSpinBox* nock_ = nullptr;
    QDoubleSpinBox* insert_ = nullptr;
    QDoubleSpinBox* vanes_ = nullptr;
    QLabel* size_ = nullptr;
    QLabel* models_ = nullptr;
    QLabel* shaftWeight_ = nullptr;
    QLabel* totalWeight_ = nullptr;
    QLabel* grainsPerPound_ = nullptr;
    QLabel* lightArrow_ = nullptr;
    QLabel* noShaft_ = nullptr;
    TSpeedPanel* speed_ = nullptr;
    QPushButton* printSheet_ = nullptr;
    // The figures last computed; nullopt while they cannot be (no shaft, a grains per inch text
    // that is no number), and then nothing prints.
    std::optional<FinishedArrow> arrow_;
};

} // namespace arrowsel::calc
