#pragma once
// The five numbered file slots. Each kind of file has its fixed slot so that a
// procedure can test, close or reopen the portfolio file or the current
// investment file by number. Opening never throws: the slot keeps the file
// number (1 or more), 0 when closed, or minus the error number of a failed
// open (53 for a file that does not exist).

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace brisden {

enum Slot : int {
    PortfolioSlot = 1,   // portfolio definition file
    InvestmentSlot = 2,  // the current investment file, locked against other writers
    ShortSlot = 3,       // existence tests, new files, report and import files
    LogSlot = 4,         // the session log
    BackupSlot = 5,      // second, read-only handle while the current file is copied
};

// Error numbers kept in a slot after a failed open or reported by the I/O calls.
enum FileError : int {
    ErrBadFileName = 52,
    ErrFileNotFound = 53,
    ErrBadFileMode = 54,
    ErrDeviceIO = 57,
    ErrDiskFull = 61,
    ErrInputPastEnd = 62,
    ErrPermissionDenied = 70,
    ErrPathFileAccess = 75,
    ErrPathNotFound = 76,
};

// The system's text for an error number ("File not found").
QString ErrorText(int errorNumber);
// Maps an errno value to one of the numbers above.
int ErrorFromErrno(int err);

class FileTable {
public:
    static constexpr int SlotCount = 5;

    FileTable() = default;
    ~FileTable();
    FileTable(const FileTable&) = delete;
    FileTable& operator=(const FileTable&) = delete;

    // kind: "I" text input, "O" text output, "A" text append, "R" random,
    // "B" binary; access "R", "W" or "RW" (letters in any case). Kind "R" with
    // access "RW" takes the lock that lets others read the file but not write it;
    // any open for writing fails with 70 while another handle holds that lock.
    void OpenFile(int slot, const QString& path, const QString& kind, const QString& access,
                  int recordLength);
    void CloseFile(int slot);
    void CloseAll();

    int fileNumber(int slot) const;  // >= 1 open, 0 closed, -error after a failed open
    int recordLength(int slot) const;
    bool isOpen(int slot) const { return fileNumber(slot) >= 1; }
    QString path(int slot) const;

    // Random and binary access (byte offsets from 0). They return false on a
    // short read or a failed write and leave the error in lastError().
    std::int64_t length(int slot) const;
    bool readAt(int slot, std::int64_t offset, char* buffer, std::int64_t count);
    bool writeAt(int slot, std::int64_t offset, const char* buffer, std::int64_t count);
    bool truncate(int slot, std::int64_t length);

    // Text access. readLine gives the next line without its CR LF (or LF);
    // atEnd is true once every byte has been read.
    bool atEnd(int slot);
    QByteArray readLine(int slot);
    // Bytes of a text file read so far (0 when the slot is closed).
    std::int64_t textPosition(int slot) const;
    bool write(int slot, const QByteArray& bytes);
    bool writeLine(int slot, const QByteArray& line);  // adds CR LF
    bool flush(int slot);  // text output is buffered until close or flush

    int lastError() const { return m_lastError; }

private:
    struct Entry {
        int fd = -1;
        int fileNumber = 0;
        int recordLength = 0;
        bool canWrite = false;
        bool append = false;
        // The file's length, read at open and kept in step with our own writes.
        std::int64_t knownLength = -1;
        QString path;
        // read-ahead for random and text reading
        std::vector<char> cache;
        std::int64_t cacheOffset = -1;
        std::int64_t textPos = 0;
        QByteArray writeBuffer;  // text output, flushed on close
    };
    Entry* entry(int slot);
    const Entry* entry(int slot) const;
    bool flushWrites(Entry& e);
    bool fillCache(Entry& e, std::int64_t offset);

    std::array<Entry, SlotCount + 1> m_slots{};
    int m_nextFileNumber = 1;
    // Set once the file system refuses locks: every later open is plain.
    bool m_plainOpen = false;
    int m_lastError = 0;
};

}  // namespace brisden
