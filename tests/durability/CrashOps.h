#pragma once
// The operations that the durability tests interrupt. One numbered sequence
// of steps per kind of work, the same in the helper program that is killed
// (crash_worker) and in the test that replays it to know what the files
// held before and after the step that was cut short.
//
// Every sequence works on the files of one folder: Fund.dat (the investment
// file, open in slot 2 as in the desktop program), its backup Fund.bak and
// the import source Source.csv.

#include "data/Backup.h"
#include "data/Dates.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "import/ImportEngine.h"
#include "import/ImportSchema.h"
#include "shell/SessionLog.h"
#include "ui/Interaction.h"

#include <QByteArray>
#include <QDir>
#include <QLocale>
#include <QProcess>
#include <QString>
#include <cstdint>
#include <optional>

namespace brisden::durability {

enum class Work {
    Add,      // new records (now and then one deleted, so that freed records are reused)
    Release,  // deleted records (every other step one added, so that some remain)
    Import,   // the import of a source of several lines
    Rebuild,  // records deleted, then the rebuild of the current file
    Backup,   // records added, then the backup copy (quiet and asked)
    Restore,  // records added, a backup copy now and then, the restore
};

inline constexpr const char* WorkNames[] = {"add",     "release", "import",
                                            "rebuild", "backup",  "restore"};

// "add", "release", ...; nullopt for any other name.
inline std::optional<Work> WorkFromName(const QString& name)
{
    for (int w = 0; w < 6; ++w) {
        if (name == QLatin1String(WorkNames[w]))
            return Work(w);
    }
    return std::nullopt;
}

// What a step does to the files: records changed in place (each record is
// then either as before or as after the step), or a file replaced whole (it
// is then either the old file or the new one).
enum class StepKind { Records, WholeFiles };

inline const QString DatName = QStringLiteral("Fund.dat");
inline const QString BakName = QStringLiteral("Fund.bak");
inline const QString SourceName = QStringLiteral("Source.csv");
inline const QString ImportSchemaText = QStringLiteral("Date Description Amount Price Shares YMD");

// A fixed mix of the seed, the step and a salt: the same numbers in every
// process, whatever the standard library.
inline std::uint32_t Mix(std::uint32_t seed, std::uint32_t k, std::uint32_t salt)
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

inline TransactionRecord MakeRecord(std::uint32_t seed, std::uint32_t k, std::uint32_t salt)
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

// Answers every question with Yes and keeps the messages shown.
class YesMessages final : public ui::IMessageBox {
public:
    QStringList shown;
    void show(const QString& text, ui::Icon) override { shown << text; }
    bool askYesNo(const QString&, bool) override { return true; }
    bool askOkCancel(const QString&) override { return true; }
    void beep() override {}
};

// The starting ledger: a header and count records from the seed.
inline QByteArray BaseLedger(int count, std::uint32_t seed)
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

// The import source of the Import work: lines of date, description,
// amount, price and shares (schema ImportSchemaText).
inline QByteArray ImportSource(int lines, std::uint32_t seed)
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

// The messages shown when the investment file at dat is opened as the
// desktop program opens it (joined by blanks): none for a sound file.
inline QString OpeningMessages(const QString& dat)
{
    FileTable files;
    InvestmentFile file(files);
    YesMessages messages;
    if (!OpenInvestmentFile(file, dat, QString(), messages) && messages.shown.isEmpty())
        return QStringLiteral("(not opened)");
    return messages.shown.join(u' ');
}

// Runs the steps of one work on the files of a folder.
class Sequence {
public:
    Sequence(const QString& folder, Work work, std::uint32_t seed)
        : m_folder(folder), m_work(work), m_seed(seed)
    {
        m_calendar.locale = QLocale::c();
        m_calendar.DateSeparator = QStringLiteral("/");
    }
    Sequence(const Sequence&) = delete;
    Sequence& operator=(const Sequence&) = delete;

    // Opens Fund.dat in slot 2 as the desktop program does. False when it
    // does not open (or opens with a damage warning).
    bool open()
    {
        return OpenInvestmentFile(m_file, QDir(m_folder).filePath(DatName), QString(),
                                  m_messages) &&
               m_messages.shown.isEmpty();
    }
    // Rebuild, backup and restore replace whole files every other step.
    StepKind kind(int k) const
    {
        return m_work >= Work::Rebuild && k % 2 == 1 ? StepKind::WholeFiles : StepKind::Records;
    }
    // Step k of the sequence. False when the step could not be carried out.
    bool step(int k)
    {
        switch (m_work) {
            case Work::Add:
                return k % 5 == 4 ? releaseRecord(k, 1) : addRecord(k, 2);
            case Work::Release:
                return k % 2 == 1 ? addRecord(k, 2) : releaseRecord(k, 1);
            case Work::Import: {
                const QString source = QDir(m_folder).filePath(SourceName);
                if (!OpenImportSource(m_files, source))
                    return false;
                ImportEngine engine(m_file, m_calendar, m_log);
                engine.ImportFromSource(ImportSchema::FromSaved(ImportSchemaText), source);
                return !engine.writeFailed && engine.ImportErrorCount == 0;
            }
            case Work::Rebuild:
                if (k % 2 == 0)
                    return releaseRecord(k, 1) && releaseRecord(k, 3);
                return m_backup.RebuildInvestmentFile(m_file.CurrentFile).rebuilt &&
                       m_file.isOpen();
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

private:
    bool addRecord(int k, int salt)
    {
        m_file.RecordBuffer = MakeRecord(m_seed, std::uint32_t(k), std::uint32_t(salt));
        return m_file.AddRecord() >= 2;
    }
    bool releaseRecord(int k, int salt)
    {
        m_file.BuildRecordIndex();
        const std::size_t count = m_file.indexedCount();
        if (count == 0)
            return addRecord(k, salt);
        const RecordIndexEntry& entry =
            m_file.RecordIndex[1 + Mix(m_seed, std::uint32_t(k), std::uint32_t(salt)) % count];
        return m_file.DeleteRecord(entry.RecNo) == entry.RecNo;
    }

    QString m_folder;
    Work m_work;
    std::uint32_t m_seed;
    FileTable m_files;
    InvestmentFile m_file{m_files};
    SessionLog m_log{m_files, QString()};
    YesMessages m_messages;
    brisden::Backup m_backup{m_file, m_log, m_messages};
    Calendar m_calendar;
};

}  // namespace brisden::durability

// A program started by a test, its stdout read line by line (stderr kept
// apart). QProcess::kill() ends it with SIGKILL; what it wrote before the
// kill stays readable.
namespace brisden::test {

// Starts program with args in folder (empty: the current one); false when it
// could not be started.
inline bool Start(QProcess& process, const QString& program, const QStringList& args,
                  const QString& folder = QString())
{
    process.setWorkingDirectory(folder);
    process.start(program, args);
    return process.waitForStarted(20000);
}

// The next line of stdout without its line end, waiting up to ms for each
// read; empty when none came.
inline QByteArray ReadLine(QProcess& process, int ms)
{
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(ms))
            return {};
    }
    return process.readLine().trimmed();
}

// Waits for the end: the exit code, or -1 when the program died of a signal
// or did not end within ms (it is killed then).
inline int Wait(QProcess& process, int ms)
{
    if (!process.waitForFinished(ms)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

}  // namespace brisden::test
