#pragma once
// The text printer: choosing an installed printer by its name, the question
// whether it is ready, its properties and page setup, and the user's control
// codes sent to it as raw print jobs of their own (before and after a report
// job) through the CUPS print system.

#include "report/PrinterCodes.h"
#include "ui/Interaction.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

class QPrinter;
class QWidget;

namespace brisden {

// Makes the installed printer whose name equals deviceName exactly (letter
// case included) the printer of `printer` and sets its orientation (1
// portrait, 2 landscape). Returns the printer's index in the list of
// installed printers; the number of installed printers when none has that
// name; PrinterOrientationRefused (-99) when the printer didn't take the
// orientation.
int SelectPrinterByName(QPrinter& printer, const QString& deviceName, std::int16_t& orientation);

// Asks whether the device is ready (OK/Cancel). Returns 1 for OK, 2 for Cancel.
int ConfirmDeviceReady(ui::IMessageBox& box, const QString& deviceName, std::int16_t orientation);

// Sends the bytes unchanged, as one raw job named "PrinterCodes", to the named
// print queue ("queue" or "queue/instance"). No bytes: no job. A queue the
// print system doesn't know: "The Printer Name you typed wasn't recognized."
// and nothing is sent. Failures of the job itself are not reported (the
// report goes on without the codes).
void SendPrinterCodes(const QString& deviceName, const QByteArray& codes, ui::IMessageBox& box);

// The named printer's own settings (paper, orientation, duplex, the driver's
// options), shown in the print dialog on a printer set to that device; the
// dialog's "Properties" button holds the driver options. What the user
// chooses there applies to that dialog only: nothing is printed and the
// system's defaults for the printer are left alone. Nothing happens for a
// name that isn't installed.
void ShowPrinterProperties(const QString& deviceName, QWidget* owner);

// The page setup of `printer`: paper, orientation and the four report
// margins, top, bottom, left and right in thousandths of an inch, in and out.
// After OK the printer takes the chosen paper and orientation, the margins
// hold the user's values and true is returned; the printer's own margins stay
// as they were. Cancel changes nothing and returns false.
bool PageSetup(QPrinter& printer, std::array<int, 4>& margins, QWidget* owner);

}  // namespace brisden
