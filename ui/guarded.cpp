// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/guarded.h"

#include "ui/message_seam.h"

#include <exception>

namespace arrowsel::ui {

bool runGuarded(QWidget* parent, const std::function<void()>& work,
                const std::function<QString(const QString& what)>& explain) {
    QString what;
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        what = QString::fromUtf8(e.what());
    } catch (...) {
        what = QStringLiteral("The command failed with an unexpected error.");
    }
    // The table engine's fixed texts break their lines with CR, as the classic boxes did.
    what.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    what.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    MessageSeam::current().error(parent, explain ? explain(what) : what);
    return false;
}

bool runGuarded(QWidget* parent, const std::function<void()>& work) {
    return runGuarded(parent, work, std::function<QString(const QString&)>());
}

bool runGuarded(QWidget* parent, const std::function<void()>& work, const QString& message) {
    return runGuarded(parent, work, [&message](const QString& what) { return message.arg(what); });
}

} // namespace arrowsel::ui
