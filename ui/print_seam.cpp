// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/print_seam.h"

#include "ui/message_seam.h"
#include "ui/page_painter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QStandardPaths>

namespace arrowsel::ui {

namespace {

QtPrintSeam& qtSeam() {
    static QtPrintSeam seam;
    return seam;
}

PrintSeam* installed = nullptr;

QString jobName(const Document& doc) {
    if (!doc.title.isEmpty()) {
        return doc.title;
    }
    const QString app = QCoreApplication::applicationName();
    return app.isEmpty() ? QStringLiteral("arrowsel") : app;
}

} // namespace

PrintSeam::~PrintSeam() = default;

PrintSeam& PrintSeam::current() {
    return installed ? *installed : qtSeam();
}

PrintSeam* PrintSeam::install(PrintSeam* seam) {
    PrintSeam* previous = installed;
    installed = seam;
    return previous;
}

PrintOutcome QtPrintSeam::printToDefault(const Document& doc, bool showProgress, QWidget* parent) {
    // Without a default printer QPrinter quietly turns into a PDF writer with no file: that is no
    // printer, not a print.
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull() || info.printerName().isEmpty()) {
        return {PrintStatus::NoPrinter, {}};
    }
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat) {
        return {PrintStatus::NoPrinter, {}};
    }
    printer.setDocName(jobName(doc));
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(doc.pageSize, QPageSize::Inch), QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0), QPageLayout::Inch));

    std::optional<QProgressDialog> progress;
    if (showProgress) {
        progress.emplace(QCoreApplication::translate("arrowsel", "Printing..."), QString(), 0, int(doc.pages.size()),
                         parent);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        progress->setValue(0);
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        return {PrintStatus::Failed,
                QCoreApplication::translate("arrowsel::ui::PrintSeam", "the printer %1 could not be started")
                    .arg(info.printerName())};
    }
    paintDocument(painter, printer, doc, [&](int page) {
        if (progress) {
            progress->setValue(page);
        }
    });
    const bool ended = painter.end();
    if (progress) {
        progress->setValue(int(doc.pages.size()));
    }
    if (!ended || printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted) {
        return {PrintStatus::Failed,
                QCoreApplication::translate("arrowsel::ui::PrintSeam", "the printer %1 reported an error")
                    .arg(info.printerName())};
    }
    return {PrintStatus::Printed, {}};
}

std::optional<QString> QtPrintSeam::pdfFileName(QWidget* parent, const QString& suggestedName) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) {
        folder = QDir::homePath();
    }
    const QString name = QFileDialog::getSaveFileName(
        parent, QCoreApplication::translate("arrowsel::ui::PrintSeam", "Save Report as PDF"),
        QDir(folder).filePath(suggestedName),
        QCoreApplication::translate("arrowsel::ui::PrintSeam", "PDF files (*.pdf)"));
    if (name.isEmpty()) {
        return std::nullopt;
    }
    return name;
}

QString noPrinterQuestion() {
    return QCoreApplication::translate("arrowsel::ui::PrintSeam",
                                       "No printer is available, so the report was not printed.\n"
                                       "Do you want to save the page as a PDF file instead?");
}

QString printFailedMessage(const QString& detail) {
    return QCoreApplication::translate("arrowsel::ui::PrintSeam", "The report was not printed: %1.").arg(detail);
}

QString pdfSavedMessage(const QString& fileName) {
    return QCoreApplication::translate("arrowsel::ui::PrintSeam", "The report was saved as %1.")
        .arg(QDir::toNativeSeparators(fileName));
}

QString pdfFailedMessage(const QString& detail) {
    return QCoreApplication::translate("arrowsel::ui::PrintSeam", "The PDF file was not saved: %1.").arg(detail);
}

PrintResult printDocument(const Document& doc, bool showProgress, QWidget* parent) {
    PrintSeam& seam = PrintSeam::current();
    MessageSeam& boxes = MessageSeam::current();
    const PrintOutcome outcome = seam.printToDefault(doc, showProgress, parent);
    switch (outcome.status) {
    case PrintStatus::Printed:
        return PrintResult::Printed;
    case PrintStatus::Failed:
        boxes.error(parent, printFailedMessage(outcome.detail));
        return PrintResult::NotPrinted;
    case PrintStatus::NoPrinter:
        break;
    }
    if (!boxes.question(parent, noPrinterQuestion())) {
        return PrintResult::NotPrinted;
    }
    QString suggested = jobName(doc);
    suggested.replace(u'/', u'-');
    const std::optional<QString> fileName = seam.pdfFileName(parent, suggested + QStringLiteral(".pdf"));
    if (!fileName) {
        return PrintResult::NotPrinted;
    }
    QString error;
    if (!writePdf(doc, *fileName, &error)) {
        boxes.error(parent, pdfFailedMessage(error));
        return PrintResult::NotPrinted;
    }
    boxes.information(parent, pdfSavedMessage(*fileName));
    return PrintResult::SavedAsPdf;
}

} // namespace arrowsel::ui
