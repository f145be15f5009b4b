#pragma once
// What an import would do before it does it: the first lines of the source
// split into the five fields as the schema reads them and completed as they
// would be stored, the lines that would be refused (with the reason), and the
// lines that repeat a record already in the investment file. The user's
// choice of lines to leave out goes to the engine as an ImportSelection.

#include "data/InvestmentFile.h"
#include "import/ImportRules.h"
#include "import/ImportSchema.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>
#include <vector>

namespace brisden {

struct Calendar;
class FileTable;

// One line of an import file as text: ANSI, one character a byte; the
// byte-order mark some spreadsheets put before the first line is dropped.
QString ImportLineText(QByteArray bytes, bool firstLine);

// The records of a ledger by date, for finding lines that repeat one of them
// (same date, amount, price and shares; the description and the sequence do
// not count). Each record answers for one line only: a ledger holding one
// such record and a source holding the line twice gives one repeat, so a
// second identical purchase on the same day is still taken as new.
class DuplicateFinder {
public:
    // Every record in use of the investment file in slot.
    static DuplicateFinder FromLedger(FileTable& files, int slot);

    void add(const TransactionRecord& record);
    // True when an unclaimed record of the ledger equals record; that record
    // is then claimed by it.
    bool claim(const TransactionRecord& record);
    std::size_t recordCount() const { return m_count; }

private:
    struct Entry {
        double amount, price, shares;
        bool claimed;
    };
    std::map<std::int32_t, std::vector<Entry>> m_byDate;
    std::size_t m_count = 0;
};

// Which lines a run imports. Lines are named by their number in the messages
// (the count of non-empty lines). A line with a choice of its own follows it;
// any other line is imported unless it repeats a ledger record and
// leaveOutDuplicates is set.
struct ImportSelection {
    bool leaveOutDuplicates = false;
    std::map<std::int32_t, bool> lineChoice;  // line number -> import it

    bool imports(std::int32_t lineNumber, bool duplicate) const;
    // Whether a run must look for repeated records at all.
    bool needsDuplicates() const;
};

struct PreviewLine {
    std::int32_t lineNumber = 0;  // as the messages quote it
    QString text;                 // the line as read
    ImportLineResult result;      // the record as it would be stored, and the log lines
    bool duplicate = false;       // repeats a record of the ledger
    bool refused() const { return result.skip; }
};

struct ImportPreview {
    std::vector<PreviewLine> lines;  // the first non-empty lines of the source
    bool wholeFile = false;          // every line of the source is in lines
    QString error;                   // set when the source could not be read
    int refusedCount = 0;      // among lines
    int invalidDateCount = 0;  // lines imported with the line number for a date
    int duplicateCount = 0;
};

// Reads up to maxLines non-empty lines of path (in a file table of its own,
// so the program's slots are not touched) and parses them as the engine
// would. duplicates is taken by value: the preview's claims stay its own.
ImportPreview PreviewImport(const QString& path, const ImportSchema& schema,
                            const Calendar& calendar, DuplicateFinder duplicates, int maxLines,
                            bool completeRecords = true);

// The stored record's fields as the preview shows them: the date as the grid
// writes it (or the line number that stands in for an invalid date), the
// description, and the numbers in full.
QString PreviewDateText(const ImportLineResult& result);

}  // namespace brisden
