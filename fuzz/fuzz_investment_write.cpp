// An investment file as the user's disk may hold it, changed by the commands
// that write it: records added and deleted (the free chain), then the
// rebuild. The input is the file with a short script in front of it: one
// byte n, then n operation bytes (odd: add a record; even: delete one).
//
// Properties: a record in use is never changed by adding or deleting another
// one; a sound file stays sound; a file whose chain is damaged is not
// written; the rebuild keeps every record in use, in order, with no free
// records, and leaves the old file byte for byte as its backup.

#include "FuzzSupport.h"

#include "data/Backup.h"

#include <QFile>
#include <map>

using namespace brisden;
using namespace brisden::fuzz;

namespace {

TransactionRecord RecordFrom(std::uint8_t op, int k)
{
    TransactionRecord r;
    r.TransDate = 20200101 + (op % 12) * 100 + k % 28;
    r.setDesc(QStringLiteral("Op %1").arg(k));
    r.Amount = 10.0 * (op + 1);
    r.SharePrice = 2.5;
    return r;
}

bool ChainSound(FileTable& files)
{
    return files.length(InvestmentSlot) % RecordLength == 0 &&
           CheckFreeChain(files, InvestmentSlot);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString path = WorkPath(QStringLiteral("Fund.dat"));
    static const QString bak = WorkPath(QStringLiteral("Fund.bak"));
    if (size == 0)
        return 0;
    const std::size_t ops = std::min<std::size_t>(data[0] % 9, size - 1);
    const std::uint8_t* script = data + 1;
    const QByteArray original = Bytes(data + 1 + ops, size - 1 - ops);
    WriteBytes(path, original);
    QFile::remove(bak);

    FileTable files;
    QuietMessages messages;
    InvestmentFile file(files);
    if (!OpenInvestmentFile(file, path, QString(), messages)) {
        FUZZ_CHECK(!messages.shown.isEmpty());
        FUZZ_CHECK(ReadBytes(path) == original);
        return 0;
    }

    // The records in use as they must stay, by number.
    std::map<std::int32_t, QByteArray> kept;
    for (const InUseRecord& r : RecordsInUse(original))
        kept[r.recNo] = r.bytes;
    for (std::size_t k = 0; k < ops; ++k) {
        const std::uint8_t op = script[k];
        const bool soundBefore = ChainSound(files);
        const QByteArray before = ReadBytes(path);
        std::int32_t result;
        if (op & 1) {
            file.RecordBuffer = RecordFrom(op, int(k));
            result = file.AddRecord();
            if (result >= 2) {
                FUZZ_CHECK(!kept.count(result));  // never a record in use
                const RecordBytes written = EncodeRecord(file.RecordBuffer);
                kept[result] = QByteArray(written.data(), RecordLength);
            }
            if (soundBefore)
                FUZZ_CHECK(result >= 2);
        } else {
            const std::int32_t count = RecordCount(files, InvestmentSlot);
            const std::int32_t n = 2 + std::int32_t(op / 2) % std::max(count, 1);
            result = file.DeleteRecord(n);
            if (result == n) {
                FUZZ_CHECK(kept.count(n));
                kept.erase(n);
            }
            if (soundBefore && kept.count(n))
                FUZZ_CHECK(result == n || n > count);
        }
        if (soundBefore)
            FUZZ_CHECK(ChainSound(files));
        if (result < 0)
            FUZZ_CHECK(ReadBytes(path) == before);  // a refused write writes nothing
        const QByteArray now = ReadBytes(path);
        for (const auto& [recNo, bytes] : kept)
            FUZZ_CHECK(now.mid(qsizetype(recNo - 1) * RecordLength, RecordLength) == bytes);
    }
    file.close();

    // The rebuild.
    const QByteArray old = ReadBytes(path);
    const RebuildResult result = RebuildFile(files, ShortSlot, path, RecordLength, messages);
    files.CloseFile(ShortSlot);
    FUZZ_CHECK(result.error == 0);
    if (!result.rebuilt) {
        FUZZ_CHECK(old.size() < RecordLength && ReadBytes(path) == old);
        return 0;
    }
    const QByteArray rebuilt = ReadBytes(path);
    FUZZ_CHECK(ReadBytes(bak) == old);
    const std::vector<InUseRecord> oldRecords = RecordsInUse(old);
    FUZZ_CHECK(rebuilt.size() == qsizetype(1 + oldRecords.size()) * RecordLength);
    FUZZ_CHECK(rebuilt.left(2) == old.left(2) && rebuilt.mid(6, 35) == old.mid(6, 35));
    FUZZ_CHECK(RecordLinkField(rebuilt.constData()) == -1);
    for (std::size_t i = 0; i < oldRecords.size(); ++i)
        FUZZ_CHECK(rebuilt.mid(qsizetype(i + 1) * RecordLength, RecordLength) ==
                   oldRecords[i].bytes);
    FUZZ_CHECK(result.recordsRead == old.size() / RecordLength);
    FUZZ_CHECK(result.recordsWritten == qsizetype(1 + oldRecords.size()));
    return 0;
}
