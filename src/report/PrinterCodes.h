#pragma once
// The text printer's side of a report that needs no window: the control codes
// the user typed for the printer, and the texts of the questions and messages
// about the chosen printer.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace brisden {

// Orientation values of the text printer.
enum PrinterOrientation : std::int16_t {
    OrientationPortrait = 1,
    OrientationLandscape = 2,
};

// SelectPrinterByName's answer when the printer refused the orientation.
constexpr int PrinterOrientationRefused = -99;

// The bytes of a code setting: decimal values separated by ",", each piece
// read by its leading number ("27,64" gives the bytes 27 and 64, " 27x" gives
// 27, a piece with no number gives 0); values below 0 give 0 and above 255
// give 255. An empty setting gives no bytes.
QByteArray ParsePrinterCodes(const QString& setting);

// The OK/Cancel question asked before a report goes to the printer.
QString DeviceReadyQuestion(const QString& deviceName, std::int16_t orientation);

// The message of a raw job to a printer that the print system doesn't know.
QString UnknownPrinterMessage();

// The report dialogs' messages for a printer that isn't installed and for
// one that refused the orientation.
QString PrinterNotAvailableMessage(const QString& deviceName);
QString PrinterOrientationMessage(const QString& deviceName);

}  // namespace brisden
