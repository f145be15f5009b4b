// The import schema as the settings file keeps it ("Date Description Amount
// Price Shares MDY"), in any form a hand-edited file may give it: applied
// as the import dialog applies it, written back, and used to import a fixed
// source of varied lines into an empty ledger.
//
// Properties: the saved form of a schema gives the same schema again; the
// import by it leaves a sound file with one whole record per line it did not
// refuse.

#include "FuzzSupport.h"

#include "import/ImportEngine.h"
#include "import/ImportSchema.h"
#include "shell/SessionLog.h"

using namespace brisden;
using namespace brisden::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString path = WorkPath(QStringLiteral("Fund.dat"));
    static const QString source = WorkPath(QStringLiteral("Source.csv"));
    static const bool written = [] {
        WriteBytes(WorkPath(QStringLiteral("Source.csv")),
                   "12/31/04,Fund buy,100,10,\r\n"
                   "\"Dividend, cash\",20041231,-5.5,,\r\n"
                   "31-Dec-2004,\"quoted\",  250 ,12.5,-20\r\n"
                   "041231,,-250,12.5\r\n"
                   "1232004,Sale,-100,0,\r\n"
                   "\r\n"
                   "2005-01-15,Split,0,0,10\r\n"
                   "Date,Description,Amount,Price,Shares\r\n");
        return true;
    }();
    (void)written;
    const QString text = QString::fromLatin1(Bytes(data, size));

    const ImportSchema schema = ImportSchema::FromSaved(text);
    const ImportSchema again = ImportSchema::FromSaved(schema.SchemaString());
    FUZZ_CHECK(again.Slots == schema.Slots && again.DateOption == schema.DateOption);
    ImportSchema applied;
    applied.DateOption = ImportDateOption::DMY;
    applied.ApplySaved(text);
    for (int i = 0; i < ImportSchema::SlotCount; ++i)
        FUZZ_CHECK(applied.field(i) == schema.field(i));

    WriteBytes(path, QByteArray());
    const Calendar& calendar = FixedCalendar();
    FileTable files;
    SessionLog log(files, QString());
    InvestmentFile file(files);
    FUZZ_CHECK(file.open(path));
    FUZZ_CHECK(OpenImportSource(files, source));
    ImportEngine engine(file, calendar, log);
    engine.ImportFromSource(schema, source);
    FUZZ_CHECK(!engine.writeFailed);
    FUZZ_CHECK(engine.ImportLineCount == 7);
    const std::int64_t length = files.length(InvestmentSlot);
    FUZZ_CHECK(length ==
               (engine.appendedCount == 0 ? 0 : (1 + engine.appendedCount) * RecordLength));
    FUZZ_CHECK(CheckFreeChain(files, InvestmentSlot));
    file.close();
    return 0;
}
