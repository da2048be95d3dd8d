// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/record_commands.h"

#include "present/window_state.h"
#include "records/book_session.h"
#include "records/cust_info.h"
#include "records/customer_book.h"
#include "records/get_cust.h"
#include "records/saved_setup.h"
#include "records/shop_inf.h"
#include "ui/guarded.h"
#include "ui/message_seam.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <chrono>
#include <filesystem>
#include <future>

namespace arrowsel::records {

namespace {

namespace fs = std::filesystem;

ui::MessageSeam& seam() {
    return ui::MessageSeam::current();
}

} // namespace

void getSetup(QWidget* parent, MainWindowState& mainWindow) {
    std::unique_ptr<BookSession> book;
    auto count = std::make_shared<std::uint32_t>(0);
    bool counted = false;
    const bool opened = ui::runGuarded(parent, [parent, &mainWindow, &book, &count, &counted] {
        book = BookSession::open(parent, mainWindow.dataFolder());
        counted = book && book->run(parent, [count](CustomerBook& b) { *count = b.count(); });
    });
    if (!opened || !counted) {
        return; // the error box said why, or the user stopped waiting
    }
    if (*count == 0) {
        seam().information(
            parent, QCoreApplication::translate("arrowsel::records::RecordCommands",
                                                "There are no records on file currently, use Save Setup first."));
        return;
    }
    TGetCust window(mainWindow, parent);
    if (window.FormActivate(std::move(book))) {
        seam().execModal(window);
    }
}

void saveSetup(QWidget* parent, MainWindowState& mainWindow) {
    TCustInfo window(mainWindow, parent);
    if (window.FormActivate()) {
        seam().execModal(window);
    }
}

void shopInformation(QWidget* parent, MainWindowState& mainWindow) {
    TShopInf window(mainWindow, parent);
    window.FormActivate();
    seam().execModal(window);
}

bool exportCustomerDatabase(QWidget* parent, MainWindowState& mainWindow) {
    const auto folder = mainWindow.dataFolder();
    // The book is opened and copied beside the event loop, so the window keeps painting while a
    // server answers; a progress box appears only when it takes long enough to notice. A failure
    // travels back through the future and is reported below.
    auto copy =
        std::async(std::launch::async, [folder] { openCustomerBook(folder)->exportText(folder / kExportFile); });
    QProgressDialog progress(
        QCoreApplication::translate("arrowsel::records::RecordCommands", "Exporting the customer records..."),
        QString(), 0, 0, parent);
    progress.setObjectName(QStringLiteral("ExportProgress"));
    progress.setWindowTitle(
        QCoreApplication::translate("arrowsel::records::RecordCommands", "Export Customer Database"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    progress.setAutoClose(false);
    while (copy.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        progress.setValue(0);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
    progress.close();
    const bool copied = ui::runGuarded(
        parent, [&copy] { copy.get(); },
        [&folder](const QString& what) {
            return QCoreApplication::translate("arrowsel::records::RecordCommands",
                                               "The customer records could not be exported to %1.\n%2\n"
                                               "Check that the folder can be written to and try again.")
                .arg(QString::fromStdString((folder / kExportFile).string()), what);
        });
    if (!copied) {
        return false;
    }
    // The fixed sentence, and where to find the file: the data folder is not always the one the
    // user thinks of.
    std::error_code ec;
    fs::path written = fs::absolute(folder / kExportFile, ec);
    if (ec) {
        written = folder / kExportFile;
    }
    seam().message(
        parent, QCoreApplication::translate("arrowsel::records::RecordCommands", "File CUSTDB.TXT has been created\n%1")
                    .arg(QString::fromStdString(written.lexically_normal().string())));
    return true;
}

} // namespace arrowsel::records
