// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextBrowser>
#include <QWidget>

namespace arrowsel::app {

// The program's own help: HTML pages compiled into the program, shown in one window that stays
// open beside the main window.
class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* parent = nullptr);
    void showTopic(int topic);
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

// Opens (or brings forward) the help window at a numbered topic; topic 1 is Tuning Information.
// Returns the window, owned by `owner`.
THelpWindow* showHelpTopic(int topic, QWidget* owner);

} // namespace arrowsel::app
