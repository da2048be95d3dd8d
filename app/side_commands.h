// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace arrowsel::app {

class TArrowSel;

// Binds the main window's commands to the windows and reports of the other layers: the customer
// and shop windows, the export, the calculators and guides, and the five printed reports. The
// report forms are made here, once, and live as long as the main window.
void installSideCommands(TArrowSel& mainWindow);

} // namespace arrowsel::app
