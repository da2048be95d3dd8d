// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>
#include <optional>

class QDialog;
class QWidget;

namespace arrowsel::ui {

// Every modal conversation with the user goes through the installed seam: message, information
// and error boxes, input boxes, modal side windows and opening a web address. The program installs
// QtMessageSeam; tests install their recording seam (tests/support), so no test ever waits on a
// real modal window. It lives in ui_services, below the widget set, because the windows, the
// reports' print conversation and the widgets' link labels all talk to the user through it.
class MessageSeam {
public:
    MessageSeam() = default;
    MessageSeam(const MessageSeam&) = default;
    MessageSeam& operator=(const MessageSeam&) = default;
    MessageSeam(MessageSeam&&) = default;
    MessageSeam& operator=(MessageSeam&&) = default;
    virtual ~MessageSeam();

    virtual void message(QWidget* parent, const QString& text) = 0;     // plain box with OK
    virtual void information(QWidget* parent, const QString& text) = 0; // information box with OK
    virtual void error(QWidget* parent, const QString& text) = 0;       // the default error box
    virtual bool question(QWidget* parent, const QString& text) = 0;    // Yes (true) or No
    // An error box that offers one way out: a button named `action` (true when chosen) beside Close.
    virtual bool offer(QWidget* parent, const QString& text, const QString& action) = 0;
    // An input box; nullopt when cancelled.
    virtual std::optional<QString> inputText(QWidget* parent, const QString& title, const QString& prompt,
                                             const QString& initial) = 0;
    // Shows `dialog` modally and returns its result code. The caller owns the dialog.
    virtual int execModal(QDialog& dialog) = 0;
    // Hands `url` to the desktop's browser; false when none could take it.
    virtual bool openUrl(const QUrl& url) = 0;

    // The installed seam (a QtMessageSeam until something else is installed). Not owned.
    static MessageSeam& current();
    // Installs `seam` (null: back to the Qt one) and returns the previous one.
    static MessageSeam* install(MessageSeam* seam);
};

class QtMessageSeam : public MessageSeam {
public:
    void message(QWidget* parent, const QString& text) override;
    void information(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    bool question(QWidget* parent, const QString& text) override;
    bool offer(QWidget* parent, const QString& text, const QString& action) override;
    std::optional<QString> inputText(QWidget* parent, const QString& title, const QString& prompt,
                                     const QString& initial) override;
    int execModal(QDialog& dialog) override;
    bool openUrl(const QUrl& url) override;
};

} // namespace arrowsel::ui
