#pragma once
// What the fuzz targets share: a scratch folder in memory, quiet answers for
// the screen interfaces, fixed dates, file helpers and the check that ends
// the run with a report.

#include "data/Dates.h"
#include "data/InvestmentFile.h"
#include "data/Portfolio.h"
#include "ui/Interaction.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace brisden::fuzz {

// The folder the targets write their files to (made once, removed at exit).
const QString& WorkFolder();
QString WorkPath(const QString& name);

// The work folder as the current directory while one input runs (relative
// paths inside a portfolio file resolve there); the fuzzer's own directory
// again afterwards, where it reads its corpus.
class InWorkFolder {
public:
    InWorkFolder();
    ~InWorkFolder();
    InWorkFolder(const InWorkFolder&) = delete;
    InWorkFolder& operator=(const InWorkFolder&) = delete;

private:
    char m_previous[4096];
};

// Every message shown is kept (a bad input must be told); questions get
// their default answer.
class QuietMessages final : public ui::IMessageBox {
public:
    QStringList shown;
    void show(const QString& text, ui::Icon) override { shown << text; }
    bool askYesNo(const QString&, bool defaultNo) override { return !defaultNo; }
    bool askOkCancel(const QString&) override { return true; }
    void beep() override {}
};

// The default answer to every input request (the listing's price question).
class DefaultInput final : public ui::IInputBox {
public:
    std::optional<QString> ask(const QString&, const QString&, const QString& defaultText) override
    {
        return defaultText;
    }
};

// A calendar with a fixed today and the US conventions, so that runs repeat.
const Calendar& FixedCalendar();

QByteArray Bytes(const std::uint8_t* data, std::size_t size);
void WriteBytes(const QString& path, const QByteArray& bytes);
// The file's bytes; a null array when it is missing.
QByteArray ReadBytes(const QString& path);

// The records in use of an investment file's bytes: record number and bytes.
struct InUseRecord {
    std::int32_t recNo;
    QByteArray bytes;
    bool operator==(const InUseRecord&) const = default;
};
std::vector<InUseRecord> RecordsInUse(const QByteArray& dat);
// A small sound ledger (header and records from the seed).
QByteArray SmallLedger(int records, std::uint32_t seed);

// The listing of the current file (portfolio = null) or of every file of the
// portfolio, to a report file held in memory, as brisden-cli list makes it.
void ListToMemory(InvestmentFile& file, ui::ILogSink& log, const Portfolio* portfolio);

// Ends the run with a report when a property does not hold.
[[noreturn]] void Broken(const char* what, const char* file, int line);

}  // namespace brisden::fuzz

#define FUZZ_CHECK(condition)                                        \
    do {                                                             \
        if (!(condition))                                            \
            ::brisden::fuzz::Broken(#condition, __FILE__, __LINE__); \
    } while (false)
