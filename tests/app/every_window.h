// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace arrowsel::app {
class TArrowSel;
}
namespace arrowsel::test {
class RecordingSeam;

// Shows every window of the program in turn and hands each, showing, to `look` with a name: the
// main window on each page and with the carbon panel, then the side windows (opened modally
// through the seam, which must be installed), the specifications window also with its speed block
// filled in, and the help. A customer is saved on the way, so that the lookup has one to show.
void visitEveryWindow(app::TArrowSel& window, RecordingSeam& seam,
                      const std::function<void(QWidget& top, const QString& name)>& look);

} // namespace arrowsel::test
