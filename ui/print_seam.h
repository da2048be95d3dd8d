// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/page_model.h"

#include <QString>
#include <optional>

class QWidget;

namespace arrowsel::ui {

enum class PrintStatus {
    Printed,   // the printer took every page
    NoPrinter, // there is no default printer: nothing was printed
    Failed,    // the printer refused or failed: nothing, or not all, was printed
};

struct PrintOutcome {
    PrintStatus status = PrintStatus::Failed;
    QString detail; // why it failed, for the user
};

// The one way pages reach a printer, and the question for a PDF file's name when none is there.
// The program uses QtPrintSeam; tests install their own, so no test ever prints or waits on a
// dialog. In ui_services, beside the message seam its conversation uses, so that the reports and
// the command line tool print without the widget set.
class PrintSeam {
public:
    PrintSeam() = default;
    PrintSeam(const PrintSeam&) = default;
    PrintSeam& operator=(const PrintSeam&) = default;
    PrintSeam(PrintSeam&&) = default;
    PrintSeam& operator=(PrintSeam&&) = default;
    virtual ~PrintSeam();

    // Sends the pages straight to the default printer, with no dialog; a progress window while
    // printing when `showProgress`.
    virtual PrintOutcome printToDefault(const Document& doc, bool showProgress, QWidget* parent) = 0;
    // Asks where to save the pages as PDF; nullopt when the user cancels.
    virtual std::optional<QString> pdfFileName(QWidget* parent, const QString& suggestedName) = 0;

    // The installed seam (a QtPrintSeam until something else is installed). Not owned.
    static PrintSeam& current();
    // Installs `seam` (null: back to the Qt one) and returns the previous one.
    static PrintSeam* install(PrintSeam* seam);
};

class QtPrintSeam : public PrintSeam {
public:
    PrintOutcome printToDefault(const Document& doc, bool showProgress, QWidget* parent) override;
    std::optional<QString> pdfFileName(QWidget* parent, const QString& suggestedName) override;
};

enum class PrintResult { Printed, SavedAsPdf, NotPrinted };

// A print command's whole conversation: prints through the installed seam; with no printer, says
// so and offers to save the page as a PDF; a failure is reported as one, never as a print.
PrintResult printDocument(const Document& doc, bool showProgress, QWidget* parent);

// Texts of the conversation.
QString noPrinterQuestion();
QString printFailedMessage(const QString& detail);
QString pdfSavedMessage(const QString& fileName);
QString pdfFailedMessage(const QString& detail);

} // namespace arrowsel::ui
