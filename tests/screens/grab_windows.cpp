// SPDX-License-Identifier: GPL-3.0-or-later
// Draws every window of the program offscreen into PNG files, so that a change meant to leave the
// windows as they are can be checked picture by picture:
//   arrowsel-grab-windows [-style <name>] <output folder> <data folder>
// The data folder is written to (a customer is saved so that the lookup has a record to show):
// give it a copy of the sample data.
#include "app/arrow_sel.h"
#include "app/side_commands.h"
#include "app/startup.h"
#include "tests/support/recording_seam.h"
#include "ui/message_seam.h"
#include "ui/translations.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QTabWidget>
#include <cstdio>
#include <filesystem>

namespace {

using arrowsel::test::RecordingSeam;

bool save(QWidget& w, const QDir& out, const QString& name) {
    QApplication::processEvents();
    const QString file = out.filePath(name + QStringLiteral(".png"));
    if (!w.grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

bool click(QWidget& window, const char* name) {
    auto* button = window.findChild<QAbstractButton*>(QString::fromLatin1(name));
    if (button == nullptr) {
        std::fprintf(stderr, "no button %s\n", name);
        return false;
    }
    button->click();
    return true;
}

// Fills the customer entry so that its save succeeds and the lookup has a record to show.
void fillCustomer(QDialog& entry) {
    const std::pair<const char*, const char*> fields[] = {{"DBEdit1", "Example Customer"}, {"DBEdit6", "1 Main St"},
                                                          {"DBEdit8", "Springfield"},      {"DBEdit9", "IL"},
                                                          {"DBEdit10", "62701"},           {"DBEdit2", "USA"}};
    for (const auto& [name, text] : fields) {
        if (auto* edit = entry.findChild<QLineEdit*>(QString::fromLatin1(name))) {
            edit->setText(QString::fromLatin1(text));
        }
    }
    click(entry, "PostBtn");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // A style named as the program takes it (-style, QT_STYLE_OVERRIDE) pictures the windows in it.
    const QString style = arrowsel::app::requestedStyle(argc, argv);
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: arrowsel-grab-windows [-style <name>] <output folder> <data folder>\n");
        return 2;
    }
    arrowsel::app::applyAppearance(app, style);
    arrowsel::ui::installTranslations(app); // in the user's language, as the program shows them
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    const std::filesystem::path data(argv[2]);

    RecordingSeam seam;
    bool ok = true;
    // Each side window is drawn while it "shows" modally; what happens after depends on the window.
    QString nextName;
    std::function<void(QDialog&)> thenDo;
    seam.onDialog = [&](QDialog& dialog) {
        dialog.show();
        ok = save(dialog, out, nextName) && ok;
        if (thenDo) {
            thenDo(dialog);
        }
        dialog.hide();
        return int(QDialog::Rejected);
    };
    const auto open = [&](const QString& name, const std::function<void()>& command,
                          std::function<void(QDialog&)> after = {}) {
        nextName = name;
        thenDo = std::move(after);
        const auto before = seam.dialogs.size();
        command();
        if (seam.dialogs.size() == before) {
            std::fprintf(stderr, "%s did not open\n", qPrintable(name));
            ok = false;
        }
    };

    arrowsel::app::TArrowSel window(data);
    arrowsel::app::installSideCommands(window);
    window.show();
    QApplication::processEvents();
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("ShaftsNB"));
    const char* pageNames[] = {"main-hunting", "main-target", "main-youth", "main-orvik"};
    for (int i = 0; i < 4; ++i) {
        pages->setCurrentIndex(i);
        ok = save(window, out, QString::fromLatin1(pageNames[i])) && ok;
    }
    pages->setCurrentIndex(0);
    window.HWtBtn9Click();
    ok = save(window, out, QStringLiteral("main-hunting-carbon")) && ok;
    window.CloseCarbonBtn();
    QApplication::processEvents();

    // The specifications window, then with the speed block filled in: a 320 ft/s IBO bow drawn
    // 29 inches, 12 grains on the string, the balance point 19 inches from the nock groove.
    open(
        QStringLiteral("specifications"), [&] { click(window, "HSzBtn1"); },
        [&](QDialog& specs) {
            for (const auto& [name, value] :
                 {std::pair{"SpeedRatingSpin", 320.0}, std::pair{"DrawLengthSpin", 29.0},
                  std::pair{"StringWeightSpin", 12.0}, std::pair{"BalancePointSpin", 19.0}}) {
                if (auto* spin = specs.findChild<QAbstractSpinBox*>(QString::fromLatin1(name))) {
                    spin->setProperty("value", value);
                }
            }
            QApplication::processEvents();
            ok = save(specs, out, QStringLiteral("specifications-speed")) && ok;
        });
    open(QStringLiteral("calculator"), [&] { click(window, "KECalcBtn"); });
    open(QStringLiteral("guide"), [&] { click(window, "HModelsBtn"); });
    open(
        QStringLiteral("customer-entry"), [&] { click(window, "HSaveBtn"); }, fillCustomer);
    open(QStringLiteral("lookup"), [&] { click(window, "SpeedButton3"); });
    open(QStringLiteral("shop"), [&] {
        if (auto* shop = window.findChild<QAction*>(QStringLiteral("ShopInformation1"))) {
            shop->trigger();
        }
    });

    for (const auto& e : seam.entries) {
        if (e.kind == RecordingSeam::Kind::Error) {
            std::fprintf(stderr, "error shown: %s\n", qPrintable(e.text));
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
