// An investment file as the user's disk may hold it, read by every command
// that only reads it: the open with its checks, the date index, the dump of
// every record, the listing and the five cost-basis methods. Whatever the
// bytes, the file is never changed, a file that is refused is refused with a
// message, and the index holds exactly the records in use, in date order.

#include "FuzzSupport.h"

#include "analysis/Listing.h"
#include "basis/BasisTextFile.h"
#include "basis/BasisWorksheet.h"
#include "data/NumberText.h"
#include "analysis/ListingTextFile.h"
#include "report/ReportFile.h"
#include "report/ReportState.h"
#include "shell/SessionLog.h"

#include <QTime>

using namespace brisden;
using namespace brisden::fuzz;

namespace {

void CheckIndex(const InvestmentFile& file, const QByteArray& dat)
{
    const std::vector<InUseRecord> inUse = RecordsInUse(dat);
    FUZZ_CHECK(file.indexedCount() == inUse.size());
    std::vector<bool> seen(size_t(dat.size() / RecordLength) + 2, false);
    for (std::size_t i = 1; i <= file.indexedCount(); ++i) {
        const RecordIndexEntry& e = file.RecordIndex[i];
        FUZZ_CHECK(e.RecNo >= 2 && std::int64_t(e.RecNo) * RecordLength <= dat.size());
        FUZZ_CHECK(!seen[size_t(e.RecNo)]);
        seen[size_t(e.RecNo)] = true;
        const char* bytes = dat.constData() + std::int64_t(e.RecNo - 1) * RecordLength;
        const TransactionRecord r = DecodeRecord(bytes);
        FUZZ_CHECK(r.Version != 0 && r.TransDate == e.TransDate && r.Seq == e.Seq);
        if (i > 1) {
            const RecordIndexEntry& p = file.RecordIndex[i - 1];
            FUZZ_CHECK(p.TransDate < e.TransDate || (p.TransDate == e.TransDate && p.Seq <= e.Seq));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString path = WorkPath(QStringLiteral("Fund.dat"));
    const QByteArray dat = Bytes(data, size);
    WriteBytes(path, dat);

    const Calendar& calendar = FixedCalendar();
    FileTable files;
    SessionLog log(files, QString());
    QuietMessages messages;
    DefaultInput input;
    ui::NullCancelPoll noCancel;
    const QString title = QStringLiteral("Brisden 6.0");

    InvestmentFile file(files);
    if (!OpenInvestmentFile(file, path, QStringLiteral("Fuzzed"), messages)) {
        FUZZ_CHECK(!messages.shown.isEmpty());  // refused, and told why
        FUZZ_CHECK(ReadBytes(path) == dat);
        return 0;
    }

    // The index and the dump.
    file.BuildRecordIndex();
    CheckIndex(file, dat);
    QByteArray dump;
    for (std::size_t i = 1; i <= file.indexedCount(); ++i) {
        FUZZ_CHECK(file.ReadRecord(file.RecordIndex[i].RecNo));
        const TransactionRecord& r = file.RecordBuffer;
        dump += QByteArray::number(r.TransDate) + ',' + QByteArray::number(r.Seq) + ",\"" + r.Desc +
                "\"," + PlainNumber(r.Amount) + ',' + PlainNumber(r.SharePrice) + ',' +
                PlainNumber(r.Shares) + '\n';
    }

    // The listing of the whole file, to the report file's text.
    ListToMemory(file, log, nullptr);
    // The five basis methods; the first byte picks a date window for one of them.
    for (int method = 1; method <= 5; ++method) {
        ReportState report;
        report.ReportDestination = DestinationFile;
        if (method == 1 + int(size % 5)) {
            report.ListFromDate = 1012005;
            report.ListToDate = 12312015;
        }
        ReportFileWriter writer;
        BasisTextFileOutput output(writer);
        BasisWorksheet worksheet(BasisContext{file, report, calendar, log, output, messages,
                                              noCancel, title, [] { return QTime(12, 0); }});
        worksheet.Run(method);
    }
    file.close();
    // Reading never writes.
    FUZZ_CHECK(ReadBytes(path) == dat);
    return 0;
}
