#pragma once
// Running a worksheet on a ledger file in memory and reading its report file;
// the lot list as written, which the worksheet's own list is compared with.

#include "basis/BasisTextFile.h"
#include "basis/BasisWorksheet.h"
#include "basis/LotBook.h"
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
#include <utility>
#include <vector>

namespace brisden::test {

// The gap sort of the lot list as written (positions 1..n of a 1-based array).
inline void LiteralGapSort(std::vector<BasisLot>& a, int mode)
{
    const int n = int(a.size()) - 1;
    for (int gap = (n + 1) / 2; gap > 0; gap /= 2) {
        int limit = n - gap;
        int lastSwap;
        do {
            lastSwap = 0;
            for (int i = 1; i <= limit; ++i) {
                if (LotSortsAfter(a[std::size_t(i)], a[std::size_t(i + gap)], mode)) {
                    std::swap(a[std::size_t(i)], a[std::size_t(i + gap)]);
                    lastSwap = i;
                }
            }
            limit = lastSwap - gap;
        } while (lastSwap != 0);
    }
}

// The lot list walked exactly as written: a 1-based array with one blank slot
// before the first lot, every operation a walk from the first lot, SortList the
// gap sort over positions 1..n. The reference the worksheet's own list is
// compared with.
class LiteralLotBook final : public LotBook {
public:
    void Reset(int) override
    {
        m_lots.assign(2, BasisLot{});
        m_blank = true;
    }
    void AddLot(const BasisLot& lot) override
    {
        if (m_blank)
            m_lots[1] = lot;
        else
            m_lots.push_back(lot);
        m_blank = false;
    }
    void ScaleForSplit(double newBalance, double oldBalance) override
    {
        for (std::size_t i = 1; i < m_lots.size(); ++i)
            ScaleLotForSplit(m_lots[i], newBalance, oldBalance);
    }
    void SortList(int mode) override { LiteralGapSort(m_lots, mode); }
    void MatchLots(const std::function<void(BasisLot&)>& sell,
                   const std::function<bool()>& more) override
    {
        bool found;
        do {
            found = false;
            for (std::size_t i = 1; i < m_lots.size() && !found; ++i)
                if (m_lots[i].Shares > 0) {
                    sell(m_lots[i]);
                    found = true;
                }
        } while (more() && found);
    }
    void ClassifyLots(BasisPools& pools) override
    {
        for (std::size_t i = 1; i < m_lots.size(); ++i)
            ClassifyLot(m_lots[i], pools);
    }
    void ReleaseUnpooledLots(BasisPools& pools) override
    {
        for (std::size_t i = 1; i < m_lots.size(); ++i)
            ReleaseLot(m_lots[i], pools);
    }
    void ForEachHeldLot(const std::function<void(BasisLot&)>& f) override
    {
        for (std::size_t i = 1; i < m_lots.size(); ++i)
            if (m_lots[i].Shares != 0)
                f(m_lots[i]);
    }

private:
    std::vector<BasisLot> m_lots;  // [0] unused
    bool m_blank = true;           // slot 1 is still the blank slot
};

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
