// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the program's windows offscreen into PNG files, one per page and side window:
//   arrowsel-screenshots <output folder> [<data folder>]
#include "app/about_box.h"
#include "app/arrow_sel.h"
#include "app/data_setup.h"
#include "app/help_window.h"
#include "app/splash.h"
#include "app/startup.h"
#include "present/data_folder.h"
#include "ui/message_seam.h"

#include <QDialog>
#include <QDir>
#include <QTabWidget>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <vector>

namespace {

// Notices that would wait for a click while the windows are drawn: kept, never shown; questions
// are answered Yes and input boxes cancelled.
class SilentSeam : public arrowsel::ui::MessageSeam {
public:
    SilentSeam() : previous_(install(this)) {}
    ~SilentSeam() override { install(previous_); }
    SilentSeam(const SilentSeam&) = delete;
    SilentSeam& operator=(const SilentSeam&) = delete;
    SilentSeam(SilentSeam&&) = delete;
    SilentSeam& operator=(SilentSeam&&) = delete;

    void message(QWidget*, const QString& text) override { texts.push_back(text); }
    void information(QWidget*, const QString& text) override { texts.push_back(text); }
    void error(QWidget*, const QString& text) override { texts.push_back(text); }
    bool question(QWidget*, const QString& text) override {
        texts.push_back(text);
        return true;
    }
    bool offer(QWidget*, const QString& text, const QString&) override {
        texts.push_back(text);
        return false;
    }
    std::optional<QString> inputText(QWidget*, const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    int execModal(QDialog&) override { return QDialog::Rejected; }
    bool openUrl(const QUrl&) override { return true; }

    std::vector<QString> texts;

private:
    MessageSeam* previous_;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: arrowsel-screenshots <output folder> [<data folder>]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    arrowsel::app::applyAppearance(app);
    SilentSeam seam;

    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    std::filesystem::path data = argc > 2 ? std::filesystem::path(argv[2])
                                          : arrowsel::app::prepareDataFolder(std::filesystem::current_path(),
                                                                             arrowsel::present::bundledDataFolders())
                                                .folder;
    auto save = [&out](QWidget& w, const char* name) {
        const QString file = out.filePath(QString::fromLatin1(name));
        if (!w.grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        }
        std::printf("%s\n", qPrintable(file));
    };

    arrowsel::app::TSplashV splash(data);
    splash.show();
    save(splash, "splash.png");
    splash.hide();

    arrowsel::app::TArrowSel window(data);
    window.show();
    QApplication::processEvents();
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("ShaftsNB"));
    const char* names[] = {"page-hunting.png", "page-target.png", "page-youth.png", "page-orvik.png"};
    for (int i = 0; i < 4; ++i) {
        pages->setCurrentIndex(i);
        QApplication::processEvents();
        save(window, names[i]);
    }
    pages->setCurrentIndex(0);
    window.HWtBtn9Click();
    QApplication::processEvents();
    save(window, "page-hunting-carbon.png");
    window.CloseCarbonBtn();

    arrowsel::app::TAboutBox about(data, &window);
    about.show();
    save(about, "about.png");
    about.hide();

    arrowsel::app::THelpWindow* help = arrowsel::app::showHelpTopic(1, &window);
    QApplication::processEvents();
    save(*help, "help-topic-1.png");

    if (!seam.texts.empty()) {
        std::printf("boxes shown while drawing: %zu (first: %s)\n", seam.texts.size(), qPrintable(seam.texts.front()));
    }
    return 0;
}
