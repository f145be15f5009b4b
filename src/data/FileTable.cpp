#include "data/FileTable.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brisden {

namespace {

constexpr std::int64_t CacheSize = 64 * 1024;
constexpr std::int64_t TextFlushSize = 64 * 1024;

// Locks the whole file for writing, held by this open file description only:
// other handles (in this process or another) may read but not take the lock,
// and writers test for it before they open.
int LockWholeFile(int fd, short type, int command)
{
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    return ::fcntl(fd, command, &lock);
}

// True when another handle holds the writer's lock on the file.
bool LockedByOther(int fd)
{
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_GETLK, &lock) != 0)
        return false;
    return lock.l_type != F_UNLCK;
}

// True when path still names the file open on fd. A file that another
// process replaced (a rebuild or restore renames a new file over the old one)
// or removed between our open and our lock is no longer the file at path.
bool StillAtPath(int fd, const QByteArray& path)
{
    struct stat open {};
    struct stat named {};
    if (::fstat(fd, &open) != 0 || ::stat(path.constData(), &named) != 0)
        return false;
    return open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

bool WriteFully(int fd, const char* data, std::int64_t count, std::int64_t offset, bool positioned)
{
    while (count > 0) {
        const ssize_t n = positioned ? ::pwrite(fd, data, size_t(count), offset)
                                     : ::write(fd, data, size_t(count));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        count -= n;
        offset += n;
    }
    return true;
}

}  // namespace

QString ErrorText(int errorNumber)
{
    switch (errorNumber) {
        case ErrBadFileName:
            return QStringLiteral("Bad file name or number");
        case ErrFileNotFound:
            return QStringLiteral("File not found");
        case ErrBadFileMode:
            return QStringLiteral("Bad file mode");
        case ErrDeviceIO:
            return QStringLiteral("Device I/O error");
        case ErrDiskFull:
            return QStringLiteral("Disk full");
        case ErrInputPastEnd:
            return QStringLiteral("Input past end of file");
        case ErrPermissionDenied:
            return QStringLiteral("Permission denied");
        case ErrPathFileAccess:
            return QStringLiteral("Path/File access error");
        case ErrPathNotFound:
            return QStringLiteral("Path not found");
        default:
            return QStringLiteral("Application-defined or object-defined error");
    }
}

int ErrorFromErrno(int err)
{
    switch (err) {
        case ENOENT:
            return ErrFileNotFound;
        case ENOTDIR:
            return ErrPathNotFound;
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS:
        case ENAMETOOLONG:
            return ErrPathFileAccess;
        case EAGAIN:
        case ETXTBSY:
            return ErrPermissionDenied;
        case ENOSPC:
        case EDQUOT:
            return ErrDiskFull;
        default:
            return ErrDeviceIO;
    }
}

FileTable::~FileTable()
{
    CloseAll();
}

FileTable::Entry* FileTable::entry(int slot)
{
    return slot >= 1 && slot <= SlotCount ? &m_slots[size_t(slot)] : nullptr;
}

const FileTable::Entry* FileTable::entry(int slot) const
{
    return slot >= 1 && slot <= SlotCount ? &m_slots[size_t(slot)] : nullptr;
}

void FileTable::OpenFile(int slot, const QString& path, const QString& kindText,
                         const QString& accessText, int recordLength)
{
    Entry* e = entry(slot);
    if (!e)
        return;
    if (e->fd >= 0)
        CloseFile(slot);
    m_lastError = 0;
    e->recordLength = recordLength;
    e->path = path;
    e->cache.clear();
    e->cacheOffset = -1;
    e->textPos = 0;
    e->writeBuffer.clear();

    const QString kind = kindText.toUpper();
    const QString access = accessText.toUpper();
    int flags = -1;
    bool lockForWriters = false;
    bool truncateAfterCheck = false;
    bool append = false;
    if (access == QLatin1String("R") &&
        (kind == QLatin1String("I") || kind == QLatin1String("R") || kind == QLatin1String("B"))) {
        flags = O_RDONLY;
    } else if (access == QLatin1String("W") && kind == QLatin1String("O")) {
        flags = O_WRONLY | O_CREAT;
        truncateAfterCheck = true;
    } else if (access == QLatin1String("W") &&
               (kind == QLatin1String("R") || kind == QLatin1String("B"))) {
        flags = O_WRONLY | O_CREAT;
    } else if (access == QLatin1String("RW") && kind == QLatin1String("A")) {
        flags = O_RDWR | O_CREAT | O_APPEND;
        append = true;
    } else if (access == QLatin1String("RW") && kind == QLatin1String("R")) {
        flags = O_RDWR | O_CREAT;
        lockForWriters = true;
    } else if (access == QLatin1String("RW") && kind == QLatin1String("B")) {
        flags = O_RDWR | O_CREAT;
    }

    int error = 0;
    int fd = -1;
    if (flags < 0) {
        error = ErrBadFileMode;
    } else if (path.trimmed().isEmpty()) {
        error = ErrBadFileName;
    } else {
        const QByteArray native = QFile::encodeName(path);
        // A locked open is taken again when the file was replaced before the
        // lock was ours: the lock must hold the file that is at path.
        for (int attempt = 0;; ++attempt) {
            fd = ::open(native.constData(), flags | O_CLOEXEC, 0666);
            if (fd < 0) {
                error = ErrorFromErrno(errno);
                if (error == ErrFileNotFound) {
                    // A missing folder is reported as such.
                    const QFileInfo info(path);
                    if (!QFileInfo(info.absolutePath()).isDir())
                        error = ErrPathNotFound;
                }
                break;
            }
            bool locked = false;
            struct stat st {};
            if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
                error = ErrPathFileAccess;
            } else if (flags != O_RDONLY) {
                if (LockedByOther(fd)) {
                    error = ErrPermissionDenied;
                } else if (lockForWriters && !m_plainOpen) {
                    if (LockWholeFile(fd, F_WRLCK, F_OFD_SETLK) == 0)
                        locked = true;
                    else if (errno == EAGAIN || errno == EACCES)
                        error = ErrPermissionDenied;
                    else
                        m_plainOpen =
                            true;  // the file system has no locks: open plainly from now on
                }
            }
            if (!error && locked && attempt < 10 && !StillAtPath(fd, native)) {
                ::close(fd);
                fd = -1;
                continue;
            }
            if (!error && truncateAfterCheck && ::ftruncate(fd, 0) != 0)
                error = ErrorFromErrno(errno);
            if (error) {
                ::close(fd);
                fd = -1;
            }
            break;
        }
    }

    if (error) {
        m_lastError = error;
        e->fd = -1;
        e->fileNumber = -error;
        e->canWrite = false;
        return;
    }
    e->fd = fd;
    // The length is taken once here and kept in step with our own writes:
    // no other process writes a file while we hold it (the current
    // investment file is locked; the others are ours for the moment).
    e->knownLength = -1;
    struct stat st {};
    if (::fstat(fd, &st) == 0)
        e->knownLength = std::int64_t(st.st_size);
    e->fileNumber = m_nextFileNumber;
    m_nextFileNumber = m_nextFileNumber >= 255 ? 1 : m_nextFileNumber + 1;
    e->canWrite = flags != O_RDONLY;
    e->append = append;
}

void FileTable::CloseFile(int slot)
{
    Entry* e = entry(slot);
    if (!e)
        return;
    if (e->fd >= 0) {
        flushWrites(*e);
        ::close(e->fd);  // closing the descriptor releases its lock
    }
    e->fd = -1;
    e->fileNumber = 0;
    e->cache.clear();
    e->cacheOffset = -1;
    e->writeBuffer.clear();
    e->textPos = 0;
}

void FileTable::CloseAll()
{
    for (int slot = 1; slot <= SlotCount; ++slot)
        CloseFile(slot);
}

int FileTable::fileNumber(int slot) const
{
    const Entry* e = entry(slot);
    return e ? e->fileNumber : 0;
}

int FileTable::recordLength(int slot) const
{
    const Entry* e = entry(slot);
    return e ? e->recordLength : 0;
}

QString FileTable::path(int slot) const
{
    const Entry* e = entry(slot);
    return e ? e->path : QString();
}

std::int64_t FileTable::length(int slot) const
{
    const Entry* e = entry(slot);
    if (!e || e->fd < 0)
        return 0;
    if (e->knownLength >= 0)
        return e->knownLength + std::int64_t(e->writeBuffer.size());
    struct stat st {};
    if (::fstat(e->fd, &st) != 0)
        return 0;
    return std::int64_t(st.st_size);
}

bool FileTable::fillCache(Entry& e, std::int64_t offset)
{
    e.cache.resize(size_t(CacheSize));
    std::int64_t got = 0;
    while (got < CacheSize) {
        const ssize_t n =
            ::pread(e.fd, e.cache.data() + got, size_t(CacheSize - got), offset + got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            e.cache.clear();
            e.cacheOffset = -1;
            m_lastError = ErrorFromErrno(errno);
            return false;
        }
        if (n == 0)
            break;
        got += n;
    }
    e.cache.resize(size_t(got));
    e.cacheOffset = offset;
    return true;
}

bool FileTable::readAt(int slot, std::int64_t offset, char* buffer, std::int64_t count)
{
    Entry* e = entry(slot);
    if (!e || e->fd < 0 || offset < 0 || count < 0) {
        m_lastError = ErrBadFileName;
        return false;
    }
    flushWrites(*e);
    while (count > 0) {
        const bool inCache = e->cacheOffset >= 0 && offset >= e->cacheOffset &&
                             offset < e->cacheOffset + std::int64_t(e->cache.size());
        if (!inCache) {
            if (!fillCache(*e, offset))
                return false;
            if (e->cache.empty()) {
                m_lastError = ErrInputPastEnd;
                return false;
            }
        }
        const std::int64_t from = offset - e->cacheOffset;
        const std::int64_t take = std::min(count, std::int64_t(e->cache.size()) - from);
        std::memcpy(buffer, e->cache.data() + from, size_t(take));
        buffer += take;
        offset += take;
        count -= take;
        if (count > 0 && std::int64_t(e->cache.size()) < CacheSize) {
            // The cache ended at the end of the file.
            if (!fillCache(*e, offset) || e->cache.empty()) {
                m_lastError = ErrInputPastEnd;
                return false;
            }
        }
    }
    return true;
}

bool FileTable::writeAt(int slot, std::int64_t offset, const char* buffer, std::int64_t count)
{
    Entry* e = entry(slot);
    if (!e || e->fd < 0 || !e->canWrite || offset < 0) {
        m_lastError = e && e->fd >= 0 ? ErrBadFileMode : ErrBadFileName;
        return false;
    }
    flushWrites(*e);
    if (!WriteFully(e->fd, buffer, count, offset, true)) {
        m_lastError = ErrorFromErrno(errno);
        e->cacheOffset = -1;
        e->cache.clear();
        return false;
    }
    if (e->knownLength >= 0)
        e->knownLength = std::max(e->knownLength, offset + count);
    // Keep the read-ahead in step with what was written.
    if (e->cacheOffset >= 0) {
        const std::int64_t cacheEnd = e->cacheOffset + std::int64_t(e->cache.size());
        const std::int64_t from = std::max(offset, e->cacheOffset);
        const std::int64_t to = std::min(offset + count, cacheEnd);
        if (from < to)
            std::memcpy(e->cache.data() + (from - e->cacheOffset), buffer + (from - offset),
                        size_t(to - from));
        if (offset + count > cacheEnd && offset <= cacheEnd) {
            // The file grew past the cached block: drop it rather than keep a short view.
            e->cacheOffset = -1;
            e->cache.clear();
        }
    }
    return true;
}

bool FileTable::truncate(int slot, std::int64_t newLength)
{
    Entry* e = entry(slot);
    if (!e || e->fd < 0 || !e->canWrite)
        return false;
    flushWrites(*e);
    // Growing the file changes no byte that is read ahead; shrinking may.
    if (e->knownLength < 0 || newLength < e->knownLength) {
        e->cacheOffset = -1;
        e->cache.clear();
    }
    if (::ftruncate(e->fd, newLength) != 0) {
        e->cacheOffset = -1;
        e->cache.clear();
        m_lastError = ErrorFromErrno(errno);
        e->knownLength = -1;
        return false;
    }
    if (e->knownLength >= 0)
        e->knownLength = newLength;
    return true;
}

bool FileTable::atEnd(int slot)
{
    Entry* e = entry(slot);
    if (!e || e->fd < 0)
        return true;
    return e->textPos >= length(slot);
}

std::int64_t FileTable::textPosition(int slot) const
{
    const Entry* e = entry(slot);
    return e && e->fd >= 0 ? e->textPos : 0;
}

QByteArray FileTable::readLine(int slot)
{
    Entry* e = entry(slot);
    QByteArray line;
    if (!e || e->fd < 0)
        return line;
    for (;;) {
        const bool inCache = e->cacheOffset >= 0 && e->textPos >= e->cacheOffset &&
                             e->textPos < e->cacheOffset + std::int64_t(e->cache.size());
        if (!inCache && (!fillCache(*e, e->textPos) || e->cache.empty()))
            break;
        const char* begin = e->cache.data() + (e->textPos - e->cacheOffset);
        const char* end = e->cache.data() + e->cache.size();
        const char* newline =
            static_cast<const char*>(std::memchr(begin, '\n', size_t(end - begin)));
        if (newline) {
            line.append(begin, newline - begin);
            e->textPos += (newline - begin) + 1;
            break;
        }
        line.append(begin, end - begin);
        e->textPos += end - begin;
    }
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

bool FileTable::flushWrites(Entry& e)
{
    if (e.writeBuffer.isEmpty() || e.fd < 0)
        return true;
    const bool ok = WriteFully(e.fd, e.writeBuffer.constData(), e.writeBuffer.size(), 0, false);
    if (!ok) {
        m_lastError = ErrorFromErrno(errno);
        e.knownLength = -1;
    } else if (e.knownLength >= 0) {
        e.knownLength += e.writeBuffer.size();
    }
    // The buffer keeps its storage for the next lines of a long report.
    e.writeBuffer.resize(0);
    e.cacheOffset = -1;
    e.cache.clear();
    return ok;
}

bool FileTable::write(int slot, const QByteArray& bytes)
{
    Entry* e = entry(slot);
    if (!e || e->fd < 0 || !e->canWrite) {
        m_lastError = e && e->fd >= 0 ? ErrBadFileMode : ErrBadFileName;
        return false;
    }
    if (e->writeBuffer.capacity() < TextFlushSize)
        e->writeBuffer.reserve(TextFlushSize + 1024);
    e->writeBuffer.append(bytes);
    if (e->writeBuffer.size() >= TextFlushSize)
        return flushWrites(*e);
    return true;
}

bool FileTable::writeLine(int slot, const QByteArray& line)
{
    return write(slot, line + "\r\n");
}

bool FileTable::flush(int slot)
{
    Entry* e = entry(slot);
    return e && flushWrites(*e);
}

}  // namespace brisden
