// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/app/every_window.h"

#include "app/arrow_sel.h"
#include "tests/support/recording_seam.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <gtest/gtest.h>
#include <utility>

namespace arrowsel::test {

namespace {

void click(QWidget& in, const char* name) {
    auto* button = in.findChild<QAbstractButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    button->click();
}

} // namespace

void visitEveryWindow(app::TArrowSel& window, RecordingSeam& seam,
                      const std::function<void(QWidget& top, const QString& name)>& look) {
    window.show();
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("ShaftsNB"));
    ASSERT_NE(pages, nullptr);
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        look(window, QStringLiteral("main-%1").arg(page + 1));
    }
    pages->setCurrentIndex(0);
    window.HWtBtn9Click();
    look(window, QStringLiteral("main-carbon"));
    window.CloseCarbonBtn();

    // Each side window is looked at while it shows modally, then left in the state the next needs.
    std::function<void(QDialog&)> after;
    QString current;
    const auto previous = seam.onDialog;
    seam.onDialog = [&](QDialog& dialog) {
        dialog.show();
        look(dialog, current);
        if (after) {
            after(dialog);
        }
        dialog.hide();
        return int(QDialog::Rejected);
    };
    const std::pair<const char*, std::function<void()>> openers[] = {
        {"specifications", [&] { click(window, "HSzBtn1"); }},
        {"calculator", [&] { click(window, "KECalcBtn"); }},
        {"guide", [&] { click(window, "HModelsBtn"); }},
        {"about", [&] { window.About1Click(); }},
        {"customer-entry", [&] { click(window, "HSaveBtn"); }},
        {"lookup", [&] { click(window, "SpeedButton3"); }},
        {"shop", [&] { window.findChild<QAction*>(QStringLiteral("ShopInformation1"))->trigger(); }},
    };
    for (const auto& [name, open] : openers) {
        current = QString::fromLatin1(name);
        after = nullptr;
        if (current == QStringLiteral("specifications")) {
            // The speed block filled in, and an arrow light enough for the warning to show.
            after = [&](QDialog& specs) {
                for (const auto& [spin, value] :
                     {std::pair{"SpeedRatingSpin", 320.0}, std::pair{"DrawLengthSpin", 29.0},
                      std::pair{"StringWeightSpin", 12.0}, std::pair{"BalancePointSpin", 19.0},
                      std::pair{"FSpinEdit1", 10.0}, std::pair{"FSpinEdit3", 1.0}}) {
                    if (auto* box = specs.findChild<QAbstractSpinBox*>(QString::fromLatin1(spin))) {
                        box->setProperty("value", value);
                    }
                }
                auto* warning = specs.findChild<QLabel*>(QStringLiteral("LightArrowLbl"));
                EXPECT_TRUE(warning != nullptr && warning->isVisible());
                look(specs, QStringLiteral("specifications-speed"));
            };
        } else if (current == QStringLiteral("customer-entry")) {
            after = [&](QDialog& entry) {
                for (const auto& [field, text] :
                     {std::pair{"DBEdit1", "Example Customer"}, std::pair{"DBEdit6", "1 Main St"},
                      std::pair{"DBEdit8", "Springfield"}, std::pair{"DBEdit9", "IL"}, std::pair{"DBEdit10", "62701"},
                      std::pair{"DBEdit2", "USA"}}) {
                    if (auto* edit = entry.findChild<QLineEdit*>(QString::fromLatin1(field))) {
                        edit->setText(QString::fromLatin1(text));
                    }
                }
                click(entry, "PostBtn");
            };
        }
        const auto before = seam.dialogs.size();
        open();
        EXPECT_GT(seam.dialogs.size(), before) << name << " did not open";
    }
    seam.onDialog = previous;

    window.Contents1Click();
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == QStringLiteral("THelpWindow") && top->isVisible()) {
            look(*top, QStringLiteral("help"));
        }
    }
}

} // namespace arrowsel::test
