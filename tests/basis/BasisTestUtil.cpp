#include "BasisTestUtil.h"

#include "LiteralLotBook.h"
#include "basis/BasisTextFile.h"
#include "data/Dates.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "report/ReportFile.h"
#include "report/ReportState.h"
#include "shell/SessionLog.h"
#include "support/TestSupport.h"

#include <QRegularExpression>

namespace brisden::test {

WorksheetRun RunWorksheet(const QString& ledgerPath, const WorksheetOptions& options,
                          std::unique_ptr<LotBook> book,
                          const std::function<void(const LotBook&)>& inspect)
{
    WorksheetRun run;
    FileTable files;
    InvestmentFile file(files);
    if (!file.open(ledgerPath))
        return run;
    file.CurrentFile = ledgerPath;

    Calendar calendar;
    calendar.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    calendar.DateOrderMask = options.dateOrder;
    calendar.DateSeparator = QStringLiteral("/");
    const std::int32_t ymd = options.todayYmd;
    calendar.SetToday(QDate(ymd / 10000, (ymd % 10000) / 100, ymd % 100));

    SessionLog log(files, QString());
    log.setEcho([&run](const QString& line) {
        // "hh:mm:ss: message." -> "message."
        run.log << line.mid(line.indexOf(QLatin1String(": ")) + 2);
    });
    FakeMessages messages;
    FakeCancel cancel(options.cancelAfter);

    ReportState report;
    report.ReportDestination = DestinationFile;
    report.ListFromDate = options.fromMdy;
    report.ListToDate = options.toMdy;
    ReportFileWriter writer;
    BasisTextFileOutput output(writer);
    if (!book && options.literal)
        book = std::make_unique<LiteralLotBook>();
    else if (!book)
        book = MakeLotBook();
    const LotBook* used = book.get();
    BasisWorksheet worksheet(
        BasisContext{file, report, calendar, log, output, messages, cancel,
                     QStringLiteral("Brisden 6.00"), [] { return QTime(12, 0, 0); }},
        std::move(book));
    run.result = worksheet.Run(options.method);
    if (inspect)
        inspect(*used);
    file.close();
    run.text = writer.collected();
    run.beeps = messages.beeps;
    return run;
}

QList<QStringList> ReportRecords(const QByteArray& text)
{
    // A comma separates fields when an even number of quotes follows it.
    static const QRegularExpression separator(QStringLiteral(R"(,(?=(?:[^"]*"[^"]*")*[^"]*$))"));
    QString all = QString::fromLatin1(text);
    if (all.endsWith(QLatin1String("\r\n")))
        all.chop(2);
    QList<QStringList> records;
    for (const QString& line : all.split(QStringLiteral("\r\n")))
        records << line.split(separator);
    return records;
}

QList<QStringList> WorksheetBody(const QByteArray& text)
{
    return ReportRecords(text).mid(8);  // eight header records, the last of them empty
}

}  // namespace brisden::test
