#include "data/Backup.h"

#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "ui/Interaction.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace brisden {

namespace {

constexpr std::int64_t CopyBlock = 256 * 1024;

// Error number for a failed open of path: a missing folder is told apart
// from a missing file.
int OpenError(int err, const QString& path)
{
    int error = ErrorFromErrno(err);
    if (error == ErrFileNotFound && !QFileInfo(QFileInfo(path).absolutePath()).isDir())
        error = ErrPathNotFound;
    return error;
}

// The permissions of a new file (0666 less the umask): backup copies get
// these rather than those of the file they copy, which may be read-only.
mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

mode_t FileMode(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        return st.st_mode & 07777;
    return 0666 & ~mode_t(0022);
}

// A file that replaces destination only when it is complete: written in the
// destination's folder and renamed over the destination on commit; dropped if
// never committed. Where the file system allows it the file has no name
// until the commit (O_TMPFILE), so a process that dies while writing it
// leaves nothing behind; elsewhere it is a hidden temporary file.
class ReplacingFile {
public:
    ReplacingFile(const QString& destination, mode_t mode) : m_destination(destination)
    {
        const QFileInfo info(destination);
        if (!QFileInfo(info.absolutePath()).isDir()) {
            m_error = ErrPathNotFound;
            return;
        }
        m_folder = QFile::encodeName(info.absolutePath());
        m_tempBase = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") +
                                       info.fileName() + QStringLiteral("."));
        if (::access("/proc/self/fd", X_OK) == 0)
            m_fd = ::open(m_folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (m_fd < 0) {
            m_temp = m_tempBase + "XXXXXX";
            m_fd = ::mkostemp(m_temp.data(), O_CLOEXEC);
            if (m_fd < 0) {
                m_error = ErrorFromErrno(errno);
                m_temp.clear();
                return;
            }
        }
        ::fchmod(m_fd, mode);
    }
    ~ReplacingFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_temp.isEmpty())
            ::unlink(m_temp.constData());
    }
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    int error() const { return m_error; }

    bool write(const char* data, std::int64_t count)
    {
        if (m_error)
            return false;
        while (count > 0) {
            const ssize_t n = ::write(m_fd, data, size_t(count));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                m_error = ErrorFromErrno(errno);
                return false;
            }
            data += n;
            count -= n;
        }
        return true;
    }

    // 0, or the error that kept the file from replacing the destination.
    // The data reaches the disk before the new name does, and the folder
    // after it: the destination is the old file or the whole new one, also
    // after a power failure.
    int commit()
    {
        if (m_error)
            return m_error;
        if (::fsync(m_fd) != 0)
            return fail(errno);
        if (m_temp.isEmpty() && !nameUnnamedFile())
            return m_error;
        if (::rename(m_temp.constData(), QFile::encodeName(m_destination).constData()) != 0)
            return fail(errno);
        m_temp.clear();
        const int closed = ::close(m_fd);
        m_fd = -1;
        if (closed != 0)
            return fail(errno);
        const int folder = ::open(m_folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
        return 0;
    }

private:
    int fail(int err)
    {
        m_error = ErrorFromErrno(err);
        return m_error;
    }

    // Gives the unnamed file a temporary name in the folder, for the rename.
    bool nameUnnamedFile()
    {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QByteArray name =
                m_tempBase + QByteArray::number(::getpid()) + '.' + QByteArray::number(attempt);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(),
                         AT_SYMLINK_FOLLOW) == 0) {
                m_temp = name;
                return true;
            }
            if (errno != EEXIST) {
                fail(errno);
                return false;
            }
        }
        fail(EEXIST);
        return false;
    }

    QString m_destination;
    QByteArray m_folder;
    QByteArray m_tempBase;
    QByteArray m_temp;  // the temporary name, once the file has one
    int m_fd = -1;
    int m_error = 0;
};

void PutLink(char* record, std::int32_t link)
{
    std::memcpy(record + 2, &link, sizeof link);
}

}  // namespace

QString BackupFileName(const QString& path)
{
    // The dot must belong to the file name, not to a folder above it.
    qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
#ifdef Q_OS_WIN
    nameStart = std::max(nameStart, path.lastIndexOf(QLatin1Char('\\')) + 1);
#endif
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < nameStart)
        return path + QStringLiteral(".bak");
    return path.left(dot + 1) + QStringLiteral("bak");
}

int CopyFileOver(const QString& source, const QString& destination, bool keepDestinationMode)
{
    const int in = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return OpenError(errno, source);
    struct stat st {};
    if (::fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(in);
        return ErrPathFileAccess;
    }
    // A restored file keeps its own permissions; a backup copy gets a new file's.
    struct stat old {};
    const bool haveOld =
        keepDestinationMode && ::stat(QFile::encodeName(destination).constData(), &old) == 0;
    ReplacingFile out(destination, haveOld ? (old.st_mode & 07777) : NewFileMode());
    std::vector<char> buffer(static_cast<size_t>(CopyBlock));
    int error = out.error();
    while (!error) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = ErrorFromErrno(errno);
            break;
        }
        if (n == 0)
            break;
        if (!out.write(buffer.data(), n))
            error = out.error();
    }
    ::close(in);
    return error ? error : out.commit();
}

RebuildResult RebuildFile(FileTable& files, int slot, const QString& path, int recordLength,
                          ui::IMessageBox& messages)
{
    RebuildResult result;
    files.OpenFile(slot, path, QStringLiteral("I"), QStringLiteral("R"), 0);
    if (!files.isOpen(slot)) {
        result.error = -files.fileNumber(slot);  // the slot keeps it for the caller too
        return result;
    }
    const std::int64_t length = files.length(slot);
    files.CloseFile(slot);
    if (recordLength < 6 || length < recordLength) {
        // Not even a whole header: nothing to rebuild.
        messages.show(QStringLiteral("There is nothing in the file."), ui::Icon::Exclamation);
        return result;
    }

    // The backup copy keeps the old file. It has the very name the backup
    // command uses: the "BAK" of this step and the "bak" of the backup copy
    // are one file on every file system, so a rebuild replaces the backup
    // copy whether or not the file system tells letter case apart.
    const QString bakPath = BackupFileName(path);
    if (QFileInfo(bakPath).absoluteFilePath() == QFileInfo(path).absoluteFilePath()) {
        messages.show(QStringLiteral("The file ") + path +
                          QStringLiteral(" is its own backup file and can't be rebuilt."),
                      ui::Icon::Exclamation);
        return result;
    }
    // No other program may write the file while it is rebuilt: the lock is
    // held from here until the new file has replaced it, so that nothing is
    // written to the old file after it was copied.
    files.OpenFile(slot, path, QStringLiteral("R"), QStringLiteral("RW"), recordLength);
    if (!files.isOpen(slot)) {
        result.error = -files.fileNumber(slot);
        files.CloseFile(slot);
        return result;
    }
    const mode_t mode = FileMode(path);
    if (const int error = CopyFileOver(path, bakPath)) {
        files.CloseFile(slot);
        result.error = error;
        return result;
    }

    // The new file is written from the old one's records (the very bytes the
    // backup now holds) and replaces path only once it is whole; until then
    // path is the old file.
    ReplacingFile out(path, mode);
    const std::int64_t records = files.length(slot) / recordLength;
    std::vector<char> header(static_cast<size_t>(recordLength));
    bool ok = files.readAt(slot, 0, header.data(), recordLength);
    int error = ok ? 0 : files.lastError();
    if (ok) {
        PutLink(header.data(), -1);  // the rebuilt file has no free records
        result.recordsRead = 1;
        ok = out.write(header.data(), recordLength);
        result.recordsWritten = 1;
    }
    // The records in use, in their old order, in blocks of whole records.
    const std::int64_t perBlock = std::max<std::int64_t>(1, CopyBlock / recordLength);
    std::vector<char> block(size_t(perBlock * recordLength));
    std::vector<char> kept;
    kept.reserve(block.size());
    for (std::int64_t first = 2; ok && first <= records; first += perBlock) {
        const std::int64_t n = std::min(perBlock, records - first + 1);
        if (!files.readAt(slot, (first - 1) * recordLength, block.data(), n * recordLength)) {
            error = files.lastError();
            ok = false;
            break;
        }
        kept.clear();
        for (std::int64_t k = 0; k < n; ++k) {
            const char* record = block.data() + k * recordLength;
            ++result.recordsRead;
            std::int16_t version;
            std::memcpy(&version, record, sizeof version);
            if (version != 0) {
                kept.insert(kept.end(), record, record + recordLength);
                ++result.recordsWritten;
            }
        }
        ok = out.write(kept.data(), std::int64_t(kept.size()));
    }
    if (!error)
        error = ok ? out.commit() : out.error();
    files.CloseFile(slot);  // the lock goes with the old file
    if (error) {
        result.error = error;
        result.recordsRead = result.recordsWritten = 0;
        return result;
    }
    result.rebuilt = true;
    messages.show(QStringLiteral("Records read: ") + QString::number(result.recordsRead) +
                      QStringLiteral(", Records written: ") +
                      QString::number(result.recordsWritten),
                  ui::Icon::Information);
    return result;
}

namespace {

// Clears the busy flag however SaveData ends.
struct BusyGuard {
    bool& flag;
    explicit BusyGuard(bool& f) : flag(f) { flag = true; }
    ~BusyGuard() { flag = false; }
};

}  // namespace

Backup::Backup(InvestmentFile& file, ui::ILogSink& log, ui::IMessageBox& messages)
    : m_file(file), m_log(log), m_messages(messages)
{
}

bool Backup::isCurrentFile(const QString& path) const
{
    if (m_file.CurrentFile.isEmpty())
        return false;
    if (path.trimmed().compare(m_file.CurrentFile.trimmed(), Qt::CaseInsensitive) == 0)
        return true;
    // The same file under another spelling must be closed as well.
    const QFileInfo a(path.trimmed());
    const QFileInfo b(m_file.CurrentFile.trimmed());
    return a.exists() && b.exists() && a.canonicalFilePath() == b.canonicalFilePath();
}

bool Backup::SaveData(bool quiet)
{
    FileTable& files = m_file.files();
    if (m_file.CurrentFile.isEmpty() || !files.isOpen(InvestmentSlot) || m_busy)
        return false;
    const BusyGuard guard(m_busy);
    const QString current = m_file.CurrentFile;
    const QString bak = BackupFileName(current);
    if (!quiet &&
        !m_messages.askYesNo(QStringLiteral("Should I copy the current file, ") + current +
                                 QStringLiteral(", to ") + bak + QStringLiteral("?"),
                             false))
        return false;

    // From here on errors are only collected: they keep the log line away.
    int error = 0;
    if (quiet) {
        // A second, read-only handle; slot 2 stays open meanwhile.
        files.OpenFile(BackupSlot, current, QStringLiteral("R"), QStringLiteral("R"), RecordLength);
        if (!files.isOpen(BackupSlot)) {
            error = -files.fileNumber(BackupSlot);
        } else {
            ReplacingFile out(bak, NewFileMode());
            error = out.error();
            const std::int64_t length = files.length(BackupSlot);
            // Whole records, in order (a partial record at the end is copied
            // as it is, so the backup is the file byte for byte).
            const std::int64_t perBlock = CopyBlock / RecordLength;
            std::vector<char> block(size_t(perBlock * RecordLength));
            for (std::int64_t offset = 0; !error && offset < length;) {
                const std::int64_t n =
                    std::min<std::int64_t>(std::int64_t(block.size()), length - offset);
                if (!files.readAt(BackupSlot, offset, block.data(), n))
                    error = files.lastError() ? files.lastError() : ErrDeviceIO;
                else if (!out.write(block.data(), n))
                    error = out.error();
                offset += n;
            }
            if (!error)
                error = out.commit();
        }
        files.CloseFile(BackupSlot);
    } else {
        // The system's copy. Slot 2 stays open, and with it the lock, so that
        // no other program can take the file while it is copied.
        error = CopyFileOver(current, bak);
    }
    if (!error)
        m_log.LogSession(QStringLiteral("Copied ") + current + QStringLiteral(" to ") + bak);
    return error == 0;
}

bool Backup::RestoreBackup()
{
    const QString current = m_file.CurrentFile;
    if (current.isEmpty())
        return false;
    const QString bak = BackupFileName(current);
    if (!m_messages.askYesNo(QStringLiteral("Should I copy the backup file, ") + bak +
                                 QStringLiteral(", to the current file, ") + current +
                                 QStringLiteral("?"),
                             true))
        return false;
    if (stopAutoBackup)
        stopAutoBackup();
    // The copy replaces the current file only when it is whole: after a
    // failure the current file is as it was. Slot 2 keeps its lock on the
    // old file until the copy has replaced it, so that no other program
    // writes records into a file that is about to go; the restored file keeps
    // the permissions of the current one.
    const int error = CopyFileOver(bak, current, true);
    m_file.close();
    if (error) {
        m_messages.show(QStringLiteral("Error: ") + ErrorText(error) + QStringLiteral("\n") +
                            QStringLiteral("There was an error copying the backup file, ") + bak +
                            QStringLiteral(", to the current file, ") + current +
                            QStringLiteral(".  Check to make sure that one or both files are not "
                                           "also in use by another program, and then try again."),
                        ui::Icon::Exclamation);
    } else {
        m_log.LogSession(QStringLiteral("Restored ") + current + QStringLiteral(" from ") + bak);
    }
    m_file.open(current);
    if (startAutoBackup)
        startAutoBackup();
    return error == 0;
}

RebuildResult Backup::RebuildInvestmentFile(const QString& path)
{
    FileTable& files = m_file.files();
    m_log.LogSession(QStringLiteral("Rebuilding file ") + path);
    const bool current = isCurrentFile(path);
    if (current) {
        if (stopAutoBackup)
            stopAutoBackup();
        m_file.close();
    }
    const RebuildResult result = RebuildFile(files, ShortSlot, path, RecordLength, m_messages);
    if (result.error) {
        m_messages.beep();
        m_messages.show(QStringLiteral("Error: ") + ErrorText(result.error) + QStringLiteral("\n") +
                            path + QStringLiteral(": ") +
                            OpenFailureReason(path, result.error, true),
                        ui::Icon::Exclamation);
        files.CloseFile(ShortSlot);
    }
    if (current) {
        m_file.open(m_file.CurrentFile);
        if (startAutoBackup)
            startAutoBackup();
    }
    m_log.LogSession(QStringLiteral("File has been rebuilt"));
    return result;
}

}  // namespace brisden
