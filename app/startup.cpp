// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include "app/about_box.h"
#include "app/arrow_sel.h"
#include "app/data_setup.h"
#include "app/side_commands.h"
#include "app/splash.h"
#include "present/data_folder.h"
#include "records/book_worker.h"
#include "ui/message_seam.h"
#include "ui/translations.h"

#include <QCommandLineParser>
#include <QFont>
#include <QIcon>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string_view>

// Resources of a static library must be registered by name, from the global namespace.
static void initIconResources() {
    Q_INIT_RESOURCE(icon);
}

namespace arrowsel::app {

QIcon programIcon() {
    initIconResources();
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icon/arrowsel-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QString requestedStyle(int argc, const char* const* argv) {
    // Read as QApplication reads them: the command line over the environment, "--style" as
    // "-style", the last one given winning.
    QString style = qEnvironmentVariable("QT_STYLE_OVERRIDE");
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i] != nullptr ? argv[i] : "";
        if (arg.starts_with("--")) {
            arg.remove_prefix(1);
        }
        if (arg.starts_with("-style=")) {
            style = QString::fromLocal8Bit(arg.substr(7));
        } else if (arg == "-style" && i + 1 < argc) {
            style = QString::fromLocal8Bit(argv[++i]);
        }
    }
    return style;
}

// The settings are the application's own (static), so the application only has to exist.
void applyAppearance(QApplication& /*app*/, const QString& requested) {
    QApplication::setApplicationName(QStringLiteral("arrowsel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Arvendel 2009"));
    // The window's own icon (the window manager's _NET_WM_ICON) and its tie to the desktop entry.
    QApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("arrowsel"));
    // The layout is measured in Fusion, so Fusion unless the user named a style Qt has. A name Qt
    // does not know it has already warned about; then Fusion stands in for the desktop's style.
    const bool known = !requested.isEmpty() && QStyleFactory::keys().contains(requested, Qt::CaseInsensitive);
    const QString style = known ? requested : QStringLiteral("Fusion");
    if (QApplication::style()->name().compare(style, Qt::CaseInsensitive) != 0) {
        QApplication::setStyle(style);
    }
    QFont font(QStringLiteral("Liberation Sans"), 9);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}

namespace {

void describeOptions(QCommandLineParser& parser) {
    QCoreApplication::setApplicationName(QStringLiteral("arrowsel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ARROWSEL_VERSION));
    parser.setApplicationDescription(QStringLiteral("Recommends arrow shafts for a bow setup."));
    parser.addHelpOption();
    parser.addVersionOption();
}

// --help and --version answer in a terminal without a display (ssh, a packager's script): they are
// read before QApplication, which needs a window system. --help-all lists Qt's window options, so
// it waits for QApplication.
void answerHelpOrVersion(int& argc, char** argv) {
    bool asked = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        asked = asked || arg == "-h" || arg == "--help" || arg == "-?" || arg == "-v" || arg == "--version";
    }
    if (!asked) {
        return;
    }
    const QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    describeOptions(parser);
    (void)parser.parse(QCoreApplication::arguments()); // Qt's window options are not known here
    if (parser.isSet(QStringLiteral("version"))) {
        parser.showVersion();
    }
    if (parser.isSet(QStringLiteral("help"))) {
        parser.showHelp();
    }
}

} // namespace

int runProgram(int& argc, char** argv, const StartOptions& options) {
    answerHelpOrVersion(argc, argv);
    const QString style = requestedStyle(argc, argv); // QApplication takes -style out of argv
    QApplication app(argc, argv);
    applyAppearance(app, style);
    ui::installTranslations(app); // before any window, so that every text is in the user's language
    // The boxes' title, in the language just installed.
    QApplication::setApplicationDisplayName(QCoreApplication::translate("arrowsel::app", "Arvendel 2009"));
    // Qt's own options (-style, -platform, ...) are taken out by QApplication before this.
    QCommandLineParser parser;
    describeOptions(parser);
    parser.process(app); // --help-all prints and leaves; an unknown option is named, exit 1

    const DataFolder data = prepareDataFolder(std::filesystem::current_path(), present::bundledDataFolders());
    if (!data.problem.isEmpty()) {
        ui::MessageSeam::current().error(nullptr, data.problem);
        return 1;
    }
    // The data files (the notice text, the export) are named relative to the current folder.
    // By its bytes: a folder whose name is not UTF-8 cannot pass through a QString.
    std::error_code ec;
    std::filesystem::current_path(data.folder, ec);

    auto splash = std::make_unique<TSplashV>(data.folder);
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    // The forms in their start-up order; the first is the main window. Forms of the side
    // windows join this list where they are made at start.
    auto mainForm = std::make_unique<TArrowSel>(data.folder);
    installSideCommands(*mainForm);
    auto* aboutBox = new TAboutBox(data.folder, mainForm.get()); // replaced by each About command
    aboutBox->hide();

    splash.reset();

    if (options.quitAfterFirstPaint) {
        QObject::connect(mainForm.get(), &TArrowSel::firstPainted, &app,
                         [] { QTimer::singleShot(0, qApp, &QApplication::quit); });
    }
    mainForm->setWindowIcon(programIcon());
    mainForm->show();
    const int status = QApplication::exec();
    // A customer book whose wait was cancelled may still be ending a statement: give it a moment,
    // so that it closes cleanly rather than being cut off mid-write.
    records::BookWorker::waitForRetired(std::chrono::seconds(3));
    return status;
}

} // namespace arrowsel::app
