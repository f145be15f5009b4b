#include "durability/CrashOps.h"

#include "import/ImportEngine.h"
#include "import/ImportSchema.h"

#include <QDir>
#include <QLocale>

namespace brisden::durability {

namespace {

// A fixed mix of the seed, the step and a salt: the same numbers in every
// process, whatever the standard library.
std::uint32_t Mix(std::uint32_t seed, std::uint32_t k, std::uint32_t salt)
{
    std::uint64_t x = (std::uint64_t(seed) << 32) ^ (std::uint64_t(k) * 0x9E3779B97F4A7C15ull) ^
                      (std::uint64_t(salt) * 0xBF58476D1CE4E5B9ull);
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    x ^= x >> 31;
    return std::uint32_t(x);
}

TransactionRecord MakeRecord(std::uint32_t seed, std::uint32_t k, std::uint32_t salt)
{
    TransactionRecord r;
    r.Version = VersionMajor;
    const std::uint32_t a = Mix(seed, k, salt);
    const std::uint32_t b = Mix(seed, k, salt + 1);
    r.TransDate = std::int32_t(20000101 + (a % 20) * 10000 + (a / 20 % 12) * 100 + (a / 240 % 28));
    r.setDesc(QStringLiteral("T%1-%2").arg(seed % 1000).arg(k));
    r.Amount = double(std::int32_t(b % 200000) - 100000) / 100.0;
    r.SharePrice = double(b / 200000 % 5000 + 1) / 100.0;
    r.Shares = r.Amount < 0 ? -r.Amount / r.SharePrice : 0;
    return r;
}

}  // namespace

constexpr const char* WorkNames[] = {"add", "release", "import", "rebuild", "backup", "restore"};

std::optional<Work> WorkFromName(const QString& name)
{
    for (int w = 0; w < 6; ++w) {
        if (name == QLatin1String(WorkNames[w]))
            return Work(w);
    }
    return std::nullopt;
}

QString WorkName(Work work)
{
    return QLatin1String(WorkNames[int(work)]);
}

QByteArray BaseLedger(int count, std::uint32_t seed)
{
    QByteArray bytes(RecordLength, '\0');
    const std::int16_t version = VersionMajor;
    const std::int32_t none = -1;
    std::memcpy(bytes.data(), &version, sizeof version);
    std::memcpy(bytes.data() + 2, &none, sizeof none);
    for (int i = 0; i < count; ++i) {
        TransactionRecord r = MakeRecord(seed, std::uint32_t(i), 7);
        r.Seq = std::int16_t(i % 3);
        const RecordBytes encoded = EncodeRecord(r);
        bytes.append(encoded.data(), RecordLength);
    }
    return bytes;
}

QByteArray ImportSource(int lines, std::uint32_t seed)
{
    QByteArray text;
    for (int i = 0; i < lines; ++i) {
        const TransactionRecord r = MakeRecord(seed, std::uint32_t(i), 11);
        text += QByteArray::number(r.TransDate) + ",\"Imp " + QByteArray::number(i) + "\"," +
                QByteArray::number(r.Amount, 'f', 2) + ',' +
                QByteArray::number(r.SharePrice, 'f', 2) + ",\r\n";
    }
    return text;
}

QString OpeningMessages(const QString& dat)
{
    FileTable files;
    InvestmentFile file(files);
    YesMessages messages;
    if (!OpenInvestmentFile(file, dat, QString(), messages) && messages.shown.isEmpty())
        return QStringLiteral("(not opened)");
    return messages.shown.join(u' ');
}

Sequence::Sequence(const QString& folder, Work work, std::uint32_t seed)
    : m_folder(folder), m_work(work), m_seed(seed)
{
    m_calendar.locale = QLocale::c();
    m_calendar.DateSeparator = QStringLiteral("/");
}

bool Sequence::open()
{
    const QString dat = QDir(m_folder).filePath(DatName());
    const int before = int(m_messages.shown.size());
    return OpenInvestmentFile(m_file, dat, QString(), m_messages) &&
           m_messages.shown.size() == before;
}

std::uint32_t Sequence::random(int k, int salt) const
{
    return Mix(m_seed, std::uint32_t(k), std::uint32_t(salt));
}

bool Sequence::addRecord(int k, int salt)
{
    m_file.RecordBuffer = MakeRecord(m_seed, std::uint32_t(k), std::uint32_t(salt));
    return m_file.AddRecord() >= 2;
}

bool Sequence::releaseRecord(int k, int salt)
{
    m_file.BuildRecordIndex();
    const std::size_t count = m_file.indexedCount();
    if (count == 0)
        return addRecord(k, salt);
    const RecordIndexEntry& entry = m_file.RecordIndex[1 + random(k, salt) % count];
    return m_file.DeleteRecord(entry.RecNo) == entry.RecNo;
}

StepKind Sequence::kind(int k) const
{
    // Rebuild, backup and restore replace whole files every other step.
    return m_work >= Work::Rebuild && k % 2 == 1 ? StepKind::WholeFiles : StepKind::Records;
}

bool Sequence::step(int k)
{
    switch (m_work) {
        case Work::Add:
            return k % 5 == 4 ? releaseRecord(k, 1) : addRecord(k, 2);
        case Work::Release:
            return k % 2 == 1 ? addRecord(k, 2) : releaseRecord(k, 1);
        case Work::Import: {
            const QString source = QDir(m_folder).filePath(SourceName());
            if (!OpenImportSource(m_files, source))
                return false;
            ImportEngine engine(m_file, m_calendar, m_log);
            engine.ImportFromSource(ImportSchema::FromSaved(ImportSchemaText()), source);
            return !engine.writeFailed && engine.ImportErrorCount == 0;
        }
        case Work::Rebuild:
            if (k % 2 == 0)
                return releaseRecord(k, 1) && releaseRecord(k, 3);
            return m_backup.RebuildInvestmentFile(m_file.CurrentFile).rebuilt && m_file.isOpen();
        case Work::Backup:
            if (k % 2 == 0)
                return addRecord(k, 2);
            return m_backup.SaveData(k % 4 == 1);
        case Work::Restore:
            if (k % 2 == 0)
                return addRecord(k, 2);
            if (k % 4 == 1)
                return m_backup.RestoreBackup() && m_file.isOpen();
            return m_backup.SaveData(true);
    }
    return false;
}

}  // namespace brisden::durability
