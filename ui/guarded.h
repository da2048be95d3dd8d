// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace arrowsel::ui {

// The one error boundary of the windows: runs a command from a Qt event handler and reports its
// failure in the message seam's error box, so that no exception ever leaves an event handler and
// the window stays usable. Returns false when the command failed. In ui_services beside the
// message seam it reports through, so that the windows and the print commands share it.
bool runGuarded(QWidget* parent, const std::function<void()>& work);

// The same, for a command that puts its own sentences around the error: `message` holds "%1"
// where the error's text goes.
bool runGuarded(QWidget* parent, const std::function<void()>& work, const QString& message);

// The same, when the sentences hold texts of their own (a file name) that must not be taken for
// placeholders: `explain` turns the error's text into the whole message.
bool runGuarded(QWidget* parent, const std::function<void()>& work,
                const std::function<QString(const QString& what)>& explain);

} // namespace arrowsel::ui
