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

#include <cmath>

namespace brisden::test {

WorksheetRun RunWorksheet(const QString& ledgerPath, const WorksheetOptions& options,
                          std::unique_ptr<LotBook> book)
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
    BasisWorksheet worksheet(
        BasisContext{file, report, calendar, log, output, messages, cancel,
                     QStringLiteral("Brisden 6.00"), [] { return QTime(12, 0, 0); }},
        std::move(book));
    run.result = worksheet.Run(options.method);
    file.close();
    run.text = writer.collected();
    run.beeps = messages.beeps;
    return run;
}

QList<QStringList> ReportRecords(const QByteArray& text)
{
    QList<QStringList> records;
    QString all = QString::fromLatin1(text);
    if (all.endsWith(QLatin1String("\r\n")))
        all.chop(2);
    for (const QString& line : all.split(QStringLiteral("\r\n"))) {
        QStringList fields;
        QString field;
        bool quoted = false;
        for (const QChar c : line) {
            if (c == QLatin1Char('"'))
                quoted = !quoted;
            if (c == QLatin1Char(',') && !quoted) {
                fields << field;
                field.clear();
            } else {
                field += c;
            }
        }
        fields << field;
        records << fields;
    }
    return records;
}

QList<QStringList> WorksheetBody(const QByteArray& text)
{
    QList<QStringList> records = ReportRecords(text);
    // Eight header records, the last of them empty.
    return records.mid(8);
}

namespace {

bool IsStamp(const QStringList& record)
{
    return record.size() == 1 && record[0].startsWith(QLatin1Char('"')) &&
           record[0].contains(QLatin1String("Brisden "));
}

bool IsText(const QString& field)
{
    return field.startsWith(QLatin1Char('"'));
}

QString Unquote(const QString& field)
{
    QString s = field.mid(1, field.size() - 2);
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    return s;
}

bool FieldsAgree(const QString& a, const QString& b)
{
    const bool aText = IsText(a);
    const bool bText = IsText(b);
    if (aText && bText)
        return Unquote(a) == Unquote(b);
    // In a numeric position an empty text field and 0 are equal.
    const auto number = [](const QString& f, bool text, bool* ok) -> double {
        if (text) {
            *ok = Unquote(f).isEmpty();
            return 0;
        }
        return f.toDouble(ok);
    };
    bool okA = false;
    bool okB = false;
    const double x = number(a, aText, &okA);
    const double y = number(b, bText, &okB);
    if (!okA || !okB)
        return false;
    const double scale = std::max(std::fabs(x), std::fabs(y));
    return std::fabs(x - y) <= std::max(1e-9, 1e-6 * scale);
}

}  // namespace

QString CompareReports(const QByteArray& expected, const QByteArray& actual)
{
    const auto prepare = [](const QByteArray& text) {
        QList<QStringList> kept;
        for (const QStringList& record : ReportRecords(text)) {
            if (record.size() == 1 && record[0].isEmpty())
                continue;  // empty lines are not compared
            if (IsStamp(record))
                continue;
            kept << record;
        }
        return kept;
    };
    const QList<QStringList> e = prepare(expected);
    const QList<QStringList> a = prepare(actual);
    for (qsizetype i = 0; i < std::max(e.size(), a.size()); ++i) {
        if (i >= e.size())
            return QStringLiteral("extra record: ") + a[i].join(QLatin1Char(','));
        if (i >= a.size())
            return QStringLiteral("missing record: ") + e[i].join(QLatin1Char(','));
        const QStringList& x = e[i];
        const QStringList& y = a[i];
        bool same = x.size() == y.size();
        for (qsizetype k = 0; same && k < x.size(); ++k) {
            if (k == 1 && x[0] == QLatin1String("\"Desc: \""))
                continue;
            same = FieldsAgree(x[k], y[k]);
        }
        if (!same)
            return QStringLiteral("record %1: expected %2, got %3")
                .arg(i)
                .arg(x.join(QLatin1Char(',')), y.join(QLatin1Char(',')));
    }
    return QString();
}

}  // namespace brisden::test
