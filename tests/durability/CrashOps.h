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
#include "shell/SessionLog.h"
#include "ui/Interaction.h"

#include <QByteArray>
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

// "add", "release", ...; nullopt for any other name.
std::optional<Work> WorkFromName(const QString& name);
QString WorkName(Work work);

// What a step does to the files: records changed in place (each record is
// then either as before or as after the step), or a file replaced whole (it
// is then either the old file or the new one).
enum class StepKind { Records, WholeFiles };

inline QString DatName()
{
    return QStringLiteral("Fund.dat");
}
inline QString BakName()
{
    return QStringLiteral("Fund.bak");
}
inline QString SourceName()
{
    return QStringLiteral("Source.csv");
}

// The starting ledger: a header and count records from the seed.
QByteArray BaseLedger(int count, std::uint32_t seed);
// The import source of the Import work: lines of date, description,
// amount, price and shares (schema "Date Description Amount Price Shares YMD").
QByteArray ImportSource(int lines, std::uint32_t seed);
inline QString ImportSchemaText()
{
    return QStringLiteral("Date Description Amount Price Shares YMD");
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

// The messages shown when the investment file at dat is opened as the
// desktop program opens it (joined by blanks): none for a sound file.
QString OpeningMessages(const QString& dat);

// Runs the steps of one work on the files of a folder.
class Sequence {
public:
    Sequence(const QString& folder, Work work, std::uint32_t seed);
    Sequence(const Sequence&) = delete;
    Sequence& operator=(const Sequence&) = delete;

    // Opens Fund.dat in slot 2 as the desktop program does. False when it
    // does not open (or opens with a damage warning).
    bool open();
    // Step k of the sequence. False when the step could not be carried out.
    bool step(int k);
    StepKind kind(int k) const;

    const QStringList& messages() const { return m_messages.shown; }

private:
    std::uint32_t random(int k, int salt) const;
    bool addRecord(int k, int salt);
    bool releaseRecord(int k, int salt);

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
