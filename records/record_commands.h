// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace arrowsel {
class MainWindowState;
}

namespace arrowsel::records {

// The main window's commands of this layer. Each opens its window modally through the message
// seam and frees it when it closes; every failure is told to the user through the seam.

// Get Setup (SpeedButton3Click): the customer lookup, or a message when no record is on file.
void getSetup(QWidget* parent, MainWindowState& mainWindow);

// Save Setup (HSaveBtnClick): customer entry for the setup now on the main window.
void saveSetup(QWidget* parent, MainWindowState& mainWindow);

// Shop Information (ShopInformation1Click).
void shopInformation(QWidget* parent, MainWindowState& mainWindow);

// Export Customer Database (ExportCustomerDatabase1Click): "custdb.txt" in the data folder.
// Returns true when the file was written.
bool exportCustomerDatabase(QWidget* parent, MainWindowState& mainWindow);

} // namespace arrowsel::records
