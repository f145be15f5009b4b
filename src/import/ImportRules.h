#pragma once
// The rules that turn one line of an import file into a transaction record:
// the split into fields, the date rules, the number conversion and the
// completion of missing values.

#include "data/InvestmentFile.h"
#include "import/ImportSchema.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

namespace brisden {

struct Calendar;

// The quote followed by the comma: the delimiters of every import field.
QString ImportFieldDelimiters();

// The first five fields of a line, as NextCsvField takes them, except that an
// unquoted empty field between two commas (or before the first comma) is an
// empty field in its own slot. Splitting stops when both the rest of the line
// and the field are empty; the slots after that get no field at all.
struct ImportFields {
    std::array<QString, ImportSchema::SlotCount> field;
    int count = 0;  // slots that got a field
};
ImportFields SplitImportLine(const QString& line);

// The date rules for one "Date" field: the candidate date as month × 1000000 +
// day × 10000 + year (century window applied), not yet validated. Fields with
// letters go through the locale's date parser (and a few common forms such as
// 31-Dec-2004 and Dec 31 2004); digits are read in the given order.
std::int64_t ImportDateCandidate(const QString& field, DateReadOrder order,
                                 const Calendar& calendar);
// The same, validated: YYYYMMDD, or 0 when the field is not a valid date.
std::int32_t ImportDate(const QString& field, DateReadOrder order, const Calendar& calendar);

// A letter date through the locale: the date, or an invalid QDate.
QDate ParseLetterDate(const QString& text, const Calendar& calendar);

// The locale's number conversion (then the C locale's), blanks around the
// number allowed; nullopt when the field is no finite number (an empty field
// included).
std::optional<double> ImportNumber(const QString& field, const QLocale& locale);

enum class ImportCompletion {
    PriceRecord,      // no amount and no shares
    Purchase,         // amount above 0 (shares cleared)
    Sale,             // everything else
    SaleWithoutPrice  // a sale with no shares at a zero price: cannot be completed
};
// Fills in what the line left out: the amount from shares and price, the
// shares of a sale from amount and price, the default description.
ImportCompletion CompleteImportRecord(TransactionRecord& r);

// One parsed line. messages are the log lines it caused, in order; a line with
// skip set is not appended.
struct ImportLineResult {
    TransactionRecord record;
    bool invalidDate = false;
    bool skip = false;
    QStringList messages;
    bool hasErrors() const { return !messages.isEmpty(); }
};

// Parses and completes lines by one schema (the slot names are looked up once).
class ImportLineParser {
public:
    // completeRecords false takes the fields exactly as written (no amount,
    // shares or description filled in): for ledgers written out by Brisden
    // itself, whose records are already complete.
    ImportLineParser(const ImportSchema& schema, const Calendar& calendar,
                     bool completeRecords = true);
    // One non-empty line; lineNumber is ImportLineCount, quoted in messages and
    // stored as the date when the date is invalid.
    ImportLineResult parse(const QString& line, std::int32_t lineNumber) const;

private:
    std::array<ImportField, ImportSchema::SlotCount> m_fields{};
    DateReadOrder m_order;
    const Calendar& m_calendar;
    bool m_completeRecords = true;
};

ImportLineResult ParseImportLine(const QString& line, const ImportSchema& schema,
                                 const Calendar& calendar, std::int32_t lineNumber);

}  // namespace brisden
