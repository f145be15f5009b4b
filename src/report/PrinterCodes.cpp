#include "report/PrinterCodes.h"

#include "shell/Settings.h"

namespace brisden {

QByteArray ParsePrinterCodes(const QString& setting)
{
    // The settings store reads the stored code lists with the same rule; one
    // parser keeps the preferences, the start-up and the reports in step.
    return Settings::ParseByteList(setting);
}

QString DeviceReadyQuestion(const QString& deviceName, std::int16_t orientation)
{
    const QString setUp =
        orientation == OrientationLandscape
            ? QStringLiteral(", and set up for landscape orientation (if necessary).")
            : QStringLiteral(", and set up for portrait orientation (if necessary).");
    return QStringLiteral("Make sure that device ") + deviceName + QStringLiteral(" is ready") +
           setUp;
}

QString UnknownPrinterMessage()
{
    return QStringLiteral("The Printer Name you typed wasn't recognized.");
}

QString PrinterNotAvailableMessage(const QString& deviceName)
{
    return QStringLiteral("The chosen printer: ") + deviceName +
           QStringLiteral(" is not available, please try another.");
}

QString PrinterOrientationMessage(const QString& deviceName)
{
    return QStringLiteral("Error: The chosen printer, ") + deviceName +
           QStringLiteral(", doesn't support the orientation chosen.");
}

}  // namespace brisden
