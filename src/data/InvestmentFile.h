#pragma once
// Investment files: fixed 41-byte little-endian records. Record 1 is the header
// {Version, FreeHead}; records 2 and up are transactions; deleted records form
// a chain from FreeHead and are reused before the file grows.

#include "data/FileTable.h"

#include <QString>
#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace brisden {

namespace ui {
class ILogSink;
class IMessageBox;
}  // namespace ui

constexpr int RecordLength = 41;
constexpr std::int16_t VersionMajor = BRISDEN_VERSION_MAJOR;

struct TransactionRecord {
    std::int16_t Version = 0;    // 0 marks a free record
    std::int32_t TransDate = 0;  // YMD
    std::int16_t Seq = 0;
    QByteArray Desc = QByteArray(9, ' ');  // always 9 bytes, blank padded (ANSI)
    double Amount = 0;
    double SharePrice = 0;
    double Shares = 0;

    QString descText() const { return QString::fromLatin1(Desc); }
    void setDesc(const QString& text);  // cut or padded to 9 characters
};

struct FileHeaderRecord {
    std::int16_t Version = 0;
    std::int32_t FreeHead = -1;
};

using RecordBytes = std::array<char, RecordLength>;

RecordBytes EncodeRecord(const TransactionRecord& r);
TransactionRecord DecodeRecord(const char* bytes);  // 41 bytes
void DecodeRecordInto(const char* bytes, TransactionRecord& record);
// The free-record overlay: first field and link.
std::int16_t RecordVersionField(const char* bytes);
std::int32_t RecordLinkField(const char* bytes);

struct RecordIndexEntry {
    std::int32_t TransDate = 0;
    std::int16_t Seq = 0;
    std::int32_t RecNo = 0;
};

// Low-level record access on any slot.
std::int32_t RecordCount(const FileTable& files, int slot);  // whole records, header included
// Number of the record to write next; writes the header when the file is
// empty. -3 when the free chain is damaged (nothing is written then).
std::int32_t AllocateRecord(FileTable& files, int slot, std::int16_t version);
// Puts record n on the tail of the free chain. n, -1 when already free, -2
// when beyond the end, -3 when the chain is damaged (nothing is written then).
std::int32_t ReleaseRecord(FileTable& files, int slot, std::int32_t n);
// Walks the free chain; false when it loops, points outside the file or at
// a record in use.
bool CheckFreeChain(FileTable& files, int slot, std::int32_t* freeCount = nullptr);

// SortList modes 1, 2 and 6 (the gap sort; equal items are never exchanged).
void SortRecordIndex(std::vector<RecordIndexEntry>& index);  // mode 2, 1-based (index[0] unused)

// The current investment file (slot 2) with its record buffer and date index.
class InvestmentFile {
public:
    explicit InvestmentFile(FileTable& files) : m_files(files) {}

    QString CurrentFile;
    QString CurrentFileDesc;
    TransactionRecord RecordBuffer;
    // 1-based: RecordIndex[0] is unused. With no record in use it holds one
    // zeroed entry at 1.
    std::vector<RecordIndexEntry> RecordIndex;

    FileTable& files() { return m_files; }
    bool isOpen() const { return m_files.isOpen(InvestmentSlot); }

    // Opens path in slot 2: random, read-write and locked against other
    // writers, or read only while the file is viewed read-only.
    bool open(const QString& path);
    void close();

    // A file viewed read-only: every write to it is refused; ReadOnlyReason
    // says why it cannot be written ("you have no permission to write it").
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly, const QString& reason = QString());
    QString ReadOnlyReason;

    // Reads record n (0 = the record after the last one read) into RecordBuffer.
    bool ReadRecord(std::int32_t n);
    // Writes RecordBuffer as record n (an edit of an existing record).
    bool WriteRecord(std::int32_t n);
    void BuildRecordIndex();
    // Appends RecordBuffer as a new transaction with the next Seq of its date;
    // returns the record number, or a negative value when nothing was written.
    std::int32_t AddRecord();
    // Deletes record n (puts it on the free chain); ReleaseRecord's results.
    std::int32_t DeleteRecord(std::int32_t n);

    // Number of entries in RecordIndex that are real records.
    std::size_t indexedCount() const;

    // Puts records back byte for byte as they were before a change (an
    // undo): cuts the file to count records, then writes each record given.
    bool RestoreRecords(std::int32_t count,
                        const std::vector<std::pair<std::int32_t, RecordBytes>>& records);

private:
    // Writes a record that AddRecord allocated (reused or past the end).
    bool WriteNewRecord(std::int32_t n, const RecordBytes& bytes);
    void forgetSeqCache();
    bool ensureSeqCache();
    void seqCacheRemove(std::int32_t date, std::int16_t seq);
    void seqCacheAdd(std::int32_t date, std::int16_t seq);

    FileTable& m_files;
    std::int32_t m_lastRead = 1;
    bool m_readOnly = false;
    // Seqs in use per date, kept in step with every write made through this
    // object so that AddRecord need not read the whole file each time.
    bool m_seqCacheValid = false;
    std::map<std::int32_t, std::map<std::int16_t, int>> m_seqs;
};

// Describes what is wrong with a file that opened (a partial record at the
// end, a broken chain of deleted records), or "" when it is sound.
QString DamageReport(FileTable& files, int slot);

// Why a file cannot be opened, in words for the user, after an open failed
// with error (an error number of FileTable): "you have no permission to
// write it", "it is open in another copy of Brisden", ...
QString OpenFailureReason(const QString& path, int error, bool forWriting);
// Why a file that can be read cannot be written, or "" when it can: no write
// permission for anyone (root included), a read-only file system, or another
// copy of Brisden holding it open. Tries the open for writing in slot.
QString WhyNotWritable(FileTable& files, int slot, const QString& path);

// How OpenInvestmentFile opens a file.
enum class FileAccess {
    Write,         // for changes: a file that cannot be written is refused
    ViewIfNeeded,  // for changes, or read-only when the file cannot be written
    View,          // read-only (listing, dump, worksheets, charts)
};

// Checks a file the user picked and makes it current: version 6 or 5, whole
// records. Shows the program's messages (naming the file and the reason) and
// returns false when the file was not opened; a damaged file opens with a
// warning. With a log, failures, warnings and a read-only open are logged.
bool OpenInvestmentFile(InvestmentFile& file, const QString& path, const QString& description,
                        ui::IMessageBox& messages, FileAccess access = FileAccess::Write,
                        ui::ILogSink* log = nullptr);

}  // namespace brisden
