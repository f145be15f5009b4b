#pragma once
// Running a worksheet on a ledger file in memory and reading its report file.

#include "LiteralLotBook.h"
#include "basis/BasisTextFile.h"
#include "basis/BasisWorksheet.h"
#include "data/Dates.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "report/ReportFile.h"
#include "report/ReportState.h"
#include "shell/SessionLog.h"
#include "support/TestSupport.h"

#include <QRegularExpression>
#include <functional>
#include <memory>

namespace brisden::test {

struct WorksheetRun {
    QByteArray text;  // the report file
    BasisResult result;
    QStringList log;  // session log lines (without the time stamp)
    int beeps = 0;
};

struct WorksheetOptions {
    int method = 1;
    std::int32_t fromMdy = 0;
    std::int32_t toMdy = 99999999;
    std::int32_t todayYmd = 20100101;
    int cancelAfter = -1;  // polls before Escape; never when negative
    bool literal = false;  // walk the lot list as written
    QString dateOrder = QStringLiteral("MDY");
};


// With a book, that lot list is used (options.literal is then ignored).
// inspect sees the lot list after the run, before it goes with the worksheet.
inline WorksheetRun RunWorksheet(const QString& ledgerPath, const WorksheetOptions& options,
                                 std::unique_ptr<LotBook> book = nullptr,
                                 const std::function<void(const LotBook&)>& inspect = {})
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

// The records of a report file, split into fields (quotes kept).
inline QList<QStringList> ReportRecords(const QByteArray& text)
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

// Records of a worksheet from the first entry on (the header skipped).
inline QList<QStringList> WorksheetBody(const QByteArray& text)
{
    return ReportRecords(text).mid(8);  // eight header records, the last of them empty
}

}  // namespace brisden::test
