// An import source as the user's disk may hold it, imported by any schema:
// the first three bytes choose the field of each of the five slots (or a
// name that is no field), the date order and whether the records are
// completed; the rest is the source. It is appended to a small ledger that has a
// deleted record on its chain.
//
// Properties: the import never fails to write; the file stays sound; the
// records that were there are unchanged; one record is appended per line
// that was not refused, each whole, with finite numbers and a valid date
// (or, for an invalid one, its line number); each refused line is logged.

#include "FuzzSupport.h"

#include "import/ImportEngine.h"
#include "import/ImportSchema.h"
#include "shell/SessionLog.h"

#include <map>

using namespace brisden;
using namespace brisden::fuzz;

namespace {

// A ledger of six records whose fourth is deleted (the chain's only link).
QByteArray LedgerWithAFreeRecord()
{
    QByteArray dat = SmallLedger(6, 3);
    const std::int16_t free = 0;
    const std::int32_t none = -1, link = 5;
    std::memcpy(dat.data() + 4 * RecordLength, &free, sizeof free);
    std::memcpy(dat.data() + 4 * RecordLength + 2, &none, sizeof none);
    std::memcpy(dat.data() + 2, &link, sizeof link);
    return dat;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString path = WorkPath(QStringLiteral("Fund.dat"));
    static const QString source = WorkPath(QStringLiteral("Source.csv"));
    static const QByteArray start = LedgerWithAFreeRecord();
    if (size < 3)
        return 0;

    // The schema from the first three bytes: 7 choices for each of the five
    // slots (bytes 0 and 1), then the date order and completion (byte 2).
    std::uint32_t pick = std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8;
    QStringList names = ImportSchema::FieldNames();
    names << QStringLiteral("price");  // any letter case will do
    QString saved;
    for (int i = 0; i < ImportSchema::SlotCount; ++i) {
        saved += names.at(qsizetype(pick % 7)) + QLatin1Char(' ');
        pick /= 7;
    }
    static const char* const codes[] = {"MDY", "YMD", "DMY", "UDF"};
    saved += QLatin1String(codes[data[2] % 4]);
    const bool complete = (data[2] & 4) == 0;
    const ImportSchema schema = ImportSchema::FromSaved(saved);
    FUZZ_CHECK(ImportSchema::FromSaved(schema.SchemaString()).SchemaString() ==
               schema.SchemaString());

    WriteBytes(path, start);
    WriteBytes(source, Bytes(data + 3, size - 3));

    const Calendar& calendar = FixedCalendar();
    FileTable files;
    SessionLog log(files, QString());
    QStringList logged;
    log.setEcho([&logged](const QString& line) { logged << line; });
    QuietMessages messages;
    InvestmentFile file(files);
    FUZZ_CHECK(OpenInvestmentFile(file, path, QString(), messages));
    FUZZ_CHECK(OpenImportSource(files, source));
    ImportEngine engine(file, calendar, log);
    engine.ImportFromSource(schema, source, complete);
    engine.LogFinished();
    FUZZ_CHECK(!engine.writeFailed);
    FUZZ_CHECK(files.length(InvestmentSlot) % RecordLength == 0);
    FUZZ_CHECK(CheckFreeChain(files, InvestmentSlot));
    file.close();

    const QByteArray after = ReadBytes(path);
    const std::vector<InUseRecord> before = RecordsInUse(start);
    const std::vector<InUseRecord> now = RecordsInUse(after);
    FUZZ_CHECK(now.size() == before.size() + std::size_t(engine.appendedCount));
    FUZZ_CHECK(engine.appendedCount <= engine.ImportLineCount);
    std::map<std::int32_t, QByteArray> old;
    for (const InUseRecord& r : before)
        old[r.recNo] = r.bytes;
    for (const InUseRecord& r : now) {
        const auto found = old.find(r.recNo);
        if (found != old.end()) {
            FUZZ_CHECK(found->second == r.bytes);
            continue;
        }
        const TransactionRecord t = DecodeRecord(r.bytes.constData());
        FUZZ_CHECK(t.Version == VersionMajor && t.Seq >= 0);
        FUZZ_CHECK(std::isfinite(t.Amount) && std::isfinite(t.SharePrice) &&
                   std::isfinite(t.Shares));
        const bool validDate = t.TransDate > 0 && IsValidDate(SwapDateOrder(t.TransDate));
        FUZZ_CHECK(validDate || t.TransDate == 0 ||
                   (t.TransDate >= 1 && t.TransDate <= engine.ImportLineCount));
    }
    // Every line that was not appended was logged as refused.
    const int refused = engine.ImportLineCount - engine.appendedCount;
    int refusals = 0;
    for (const QString& line : logged)
        refusals += line.contains(QLatin1String("was not imported")) ? 1 : 0;
    FUZZ_CHECK(refusals == refused);
    return 0;
}
