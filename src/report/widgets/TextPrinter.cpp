#include "report/widgets/TextPrinter.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

#include <cups/cups.h>

namespace brisden {

int SelectPrinterByName(QPrinter& printer, const QString& deviceName, std::int16_t& orientation)
{
    const QList<QPrinterInfo> installed = QPrinterInfo::availablePrinters();
    int index = 0;
    while (index < int(installed.size()) && installed[index].printerName() != deviceName)
        ++index;
    if (index == int(installed.size()))
        return index;
    printer.setPrinterName(deviceName);
    if (orientation != OrientationPortrait && orientation != OrientationLandscape)
        return PrinterOrientationRefused;
    const QPageLayout::Orientation wanted =
        orientation == OrientationLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    if (!printer.setPageOrientation(wanted) || printer.pageLayout().orientation() != wanted)
        return PrinterOrientationRefused;
    return index;
}

int ConfirmDeviceReady(ui::IMessageBox& box, const QString& deviceName, std::int16_t orientation)
{
    return box.askOkCancel(DeviceReadyQuestion(deviceName, orientation)) ? 1 : 2;
}

void SendPrinterCodes(const QString& deviceName, const QByteArray& codes, ui::IMessageBox& box)
{
    if (codes.isEmpty())
        return;
    const qsizetype slash = deviceName.indexOf(QLatin1Char('/'));
    const QByteArray queue = (slash < 0 ? deviceName : deviceName.left(slash)).toUtf8();
    const QByteArray instance = slash < 0 ? QByteArray() : deviceName.mid(slash + 1).toUtf8();
    cups_dest_t* dest = nullptr;
    if (!queue.isEmpty())
        dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(),
                                instance.isEmpty() ? nullptr : instance.constData());
    if (dest == nullptr) {
        box.show(UnknownPrinterMessage(), ui::Icon::Information);
        return;
    }
    // Raw: the print system passes the bytes to the device as they are, in
    // a job of their own that queues before (or after) the report's job.
    static const char kJobName[] = "PrinterCodes";
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, dest->name, kJobName, 0, nullptr);
    if (job > 0 && cupsStartDocument(CUPS_HTTP_DEFAULT, dest->name, job, kJobName, CUPS_FORMAT_RAW,
                                     1) == HTTP_STATUS_CONTINUE) {
        cupsWriteRequestData(CUPS_HTTP_DEFAULT, codes.constData(), size_t(codes.size()));
        cupsFinishDocument(CUPS_HTTP_DEFAULT, dest->name);
    }
    cupsFreeDests(1, dest);
}

void ShowPrinterProperties(const QString& deviceName, QWidget* owner)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(deviceName);
    if (info.isNull())
        return;
    QPrinter printer(info);
    QPrintDialog dialog(&printer, owner);
    dialog.setWindowTitle(deviceName);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.exec();
}

bool PageSetup(QPrinter& printer, std::array<int, 4>& margins, QWidget* owner)
{
    const QMarginsF printerMargins = printer.pageLayout().margins(QPageLayout::Inch);
    auto inches = [](int thousandths) { return thousandths / 1000.0; };
    // Margins under the printer's least ones are not taken: the dialog then
    // starts from the printer's own.
    printer.setPageMargins(
        QMarginsF(inches(margins[2]), inches(margins[0]), inches(margins[3]), inches(margins[1])),
        QPageLayout::Inch);
    QPageSetupDialog dialog(&printer, owner);
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    if (confirmed) {
        const QMarginsF chosen = printer.pageLayout().margins(QPageLayout::Inch);
        auto thousandths = [](qreal value) { return int(std::lround(value * 1000.0)); };
        margins = {thousandths(chosen.top()), thousandths(chosen.bottom()),
                   thousandths(chosen.left()), thousandths(chosen.right())};
    }
    printer.setPageMargins(printerMargins, QPageLayout::Inch);
    return confirmed;
}

}  // namespace brisden
