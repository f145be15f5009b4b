#pragma once
// Running a worksheet on a ledger file in memory and reading its report file.

#include "basis/BasisWorksheet.h"
#include "basis/LotBook.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
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
WorksheetRun RunWorksheet(const QString& ledgerPath, const WorksheetOptions& options,
                          std::unique_ptr<LotBook> book = nullptr,
                          const std::function<void(const LotBook&)>& inspect = {});

// The records of a report file, split into fields (quotes kept).
QList<QStringList> ReportRecords(const QByteArray& text);

// Records of a worksheet from the first entry on (the header skipped).
QList<QStringList> WorksheetBody(const QByteArray& text);

}  // namespace brisden::test
