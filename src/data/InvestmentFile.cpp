#include "data/InvestmentFile.h"

#include "data/GapSort.h"
#include "ui/Interaction.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <bit>
#include <cstring>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace brisden {

namespace {

static_assert(std::endian::native == std::endian::little,
              "investment files are little-endian; add byte swapping for this machine");

template <typename T>
T Get(const char* bytes, int offset)
{
    T value;
    std::memcpy(&value, bytes + offset, sizeof value);
    return value;
}

template <typename T>
void Put(char* bytes, int offset, T value)
{
    std::memcpy(bytes + offset, &value, sizeof value);
}

// Field offsets of a transaction record.
constexpr int OffVersion = 0;
constexpr int OffDate = 2;
constexpr int OffSeq = 6;
constexpr int OffDesc = 8;
constexpr int OffAmount = 17;
constexpr int OffPrice = 25;
constexpr int OffShares = 33;
constexpr int DescLength = 9;

bool ReadRaw(FileTable& files, int slot, std::int32_t n, char* bytes)
{
    return files.readAt(slot, std::int64_t(n - 1) * RecordLength, bytes, RecordLength);
}

bool WriteRaw(FileTable& files, int slot, std::int32_t n, const char* bytes)
{
    return files.writeAt(slot, std::int64_t(n - 1) * RecordLength, bytes, RecordLength);
}

bool SortsAfter(const RecordIndexEntry& a, const RecordIndexEntry& b)
{
    return a.TransDate > b.TransDate || (a.TransDate == b.TransDate && a.Seq > b.Seq);
}

}  // namespace

void TransactionRecord::setDesc(const QString& text)
{
    QByteArray bytes = text.toLatin1().left(DescLength);
    bytes.append(QByteArray(DescLength - bytes.size(), ' '));
    Desc = bytes;
}

RecordBytes EncodeRecord(const TransactionRecord& r)
{
    RecordBytes b{};
    Put<std::int16_t>(b.data(), OffVersion, r.Version);
    Put<std::int32_t>(b.data(), OffDate, r.TransDate);
    Put<std::int16_t>(b.data(), OffSeq, r.Seq);
    QByteArray desc = r.Desc.left(DescLength);
    desc.append(QByteArray(DescLength - desc.size(), ' '));
    std::memcpy(b.data() + OffDesc, desc.constData(), DescLength);
    Put<double>(b.data(), OffAmount, r.Amount);
    Put<double>(b.data(), OffPrice, r.SharePrice);
    Put<double>(b.data(), OffShares, r.Shares);
    return b;
}

TransactionRecord DecodeRecord(const char* b)
{
    TransactionRecord r;
    DecodeRecordInto(b, r);
    return r;
}

void DecodeRecordInto(const char* b, TransactionRecord& r)
{
    r.Version = Get<std::int16_t>(b, OffVersion);
    r.TransDate = Get<std::int32_t>(b, OffDate);
    r.Seq = Get<std::int16_t>(b, OffSeq);
    // The description's bytes are written over the old ones: a pass over a
    // long ledger reads every record into the one buffer without allocating.
    r.Desc.resize(DescLength);
    std::memcpy(r.Desc.data(), b + OffDesc, DescLength);
    r.Amount = Get<double>(b, OffAmount);
    r.SharePrice = Get<double>(b, OffPrice);
    r.Shares = Get<double>(b, OffShares);
}

std::int16_t RecordVersionField(const char* bytes)
{
    return Get<std::int16_t>(bytes, 0);
}

std::int32_t RecordLinkField(const char* bytes)
{
    return Get<std::int32_t>(bytes, 2);
}

std::int32_t RecordCount(const FileTable& files, int slot)
{
    return std::int32_t(files.length(slot) / RecordLength);
}

bool CheckFreeChain(FileTable& files, int slot, std::int32_t* freeCount)
{
    const std::int32_t count = RecordCount(files, slot);
    if (freeCount)
        *freeCount = 0;
    if (count == 0)
        return true;
    char bytes[RecordLength];
    if (!ReadRaw(files, slot, 1, bytes))
        return false;
    std::int32_t link = RecordLinkField(bytes);
    std::int32_t steps = 0;
    while (link != -1) {
        // Every link names a free transaction record inside the file, and
        // there can be no more links than records: anything else is a loop
        // or a stray pointer.
        if (link < 2 || link > count || ++steps > count)
            return false;
        if (!ReadRaw(files, slot, link, bytes) || RecordVersionField(bytes) != 0)
            return false;
        link = RecordLinkField(bytes);
    }
    if (freeCount)
        *freeCount = steps;
    return true;
}

std::int32_t AllocateRecord(FileTable& files, int slot, std::int16_t version)
{
    const std::int32_t count = RecordCount(files, slot);
    if (files.length(slot) == 0) {
        char header[RecordLength] = {};
        Put<std::int16_t>(header, 0, version);
        Put<std::int32_t>(header, 2, -1);
        if (!WriteRaw(files, slot, 1, header))
            return -2;
        return 2;
    }
    char header[RecordLength];
    if (!ReadRaw(files, slot, 1, header))
        return -2;
    const std::int32_t head = RecordLinkField(header);
    if (head != -1) {
        char record[RecordLength];
        if (head < 2 || head > count || !ReadRaw(files, slot, head, record) ||
            RecordVersionField(record) != 0)
            return -3;
        // The whole chain must be sound: a loop further on would otherwise
        // hand out a record in use later.
        if (!CheckFreeChain(files, slot))
            return -3;
        const std::int32_t next = RecordLinkField(record);
        if (next != -1 && (next < 2 || next > count || next == head))
            return -3;
        Put<std::int32_t>(header, 2, next);
        if (!WriteRaw(files, slot, 1, header))
            return -2;
        return head;
    }
    return count + 1;
}

std::int32_t ReleaseRecord(FileTable& files, int slot, std::int32_t n)
{
    const std::int32_t count = RecordCount(files, slot);
    if (n > count)
        return -2;
    if (n < 2)
        return -3;  // the header is never freed
    char record[RecordLength];
    if (!ReadRaw(files, slot, n, record))
        return -2;
    if (RecordVersionField(record) == 0)
        return -1;
    // Walk to the tail of the chain; the header is the tail of an empty chain.
    std::int32_t tail = 1;
    char tailBytes[RecordLength];
    if (!ReadRaw(files, slot, 1, tailBytes))
        return -2;
    std::int32_t steps = 0;
    while (RecordLinkField(tailBytes) != -1) {
        const std::int32_t link = RecordLinkField(tailBytes);
        if (link < 2 || link > count || link == n || ++steps > count)
            return -3;
        tail = link;
        if (!ReadRaw(files, slot, tail, tailBytes) || RecordVersionField(tailBytes) != 0)
            return -3;
    }
    // The record is marked free before the chain reaches it: a process that
    // dies between the two writes leaves a free record outside the chain
    // (never reused, dropped by the next rebuild), never a chain that links
    // a record in use.
    Put<std::int16_t>(record, 0, 0);
    Put<std::int32_t>(record, 2, -1);
    if (!WriteRaw(files, slot, n, record))
        return -2;
    Put<std::int32_t>(tailBytes, 2, n);
    if (!WriteRaw(files, slot, tail, tailBytes))
        return -2;
    return n;
}

void SortRecordIndex(std::vector<RecordIndexEntry>& index)
{
    GapSort(
        std::int64_t(index.size()) - 1,
        [&](std::int64_t i, std::int64_t j) {
            return SortsAfter(index[size_t(i)], index[size_t(j)]);
        },
        [&](std::int64_t i, std::int64_t j) { std::swap(index[size_t(i)], index[size_t(j)]); });
}

bool InvestmentFile::open(const QString& path)
{
    close();
    m_files.OpenFile(InvestmentSlot, path, QStringLiteral("R"),
                     m_readOnly ? QStringLiteral("R") : QStringLiteral("RW"), RecordLength);
    m_lastRead = 1;
    return m_files.isOpen(InvestmentSlot);
}

void InvestmentFile::setReadOnly(bool readOnly, const QString& reason)
{
    m_readOnly = readOnly;
    ReadOnlyReason = readOnly ? reason : QString();
}

void InvestmentFile::close()
{
    m_files.CloseFile(InvestmentSlot);
    forgetSeqCache();
}

bool InvestmentFile::ReadRecord(std::int32_t n)
{
    if (n == 0)
        n = m_lastRead + 1;
    char bytes[RecordLength];
    if (n < 1 || !ReadRaw(m_files, InvestmentSlot, n, bytes)) {
        RecordBuffer.Desc = QByteArray(DescLength, ' ');
        return false;
    }
    m_lastRead = n;
    DecodeRecordInto(bytes, RecordBuffer);
    return true;
}

bool InvestmentFile::WriteRecord(std::int32_t n)
{
    if (n < 2 || n > RecordCount(m_files, InvestmentSlot))
        return false;
    char old[RecordLength];
    if (!ReadRaw(m_files, InvestmentSlot, n, old))
        return false;
    const RecordBytes bytes = EncodeRecord(RecordBuffer);
    if (!WriteRaw(m_files, InvestmentSlot, n, bytes.data())) {
        forgetSeqCache();
        return false;
    }
    if (m_seqCacheValid) {
        if (RecordVersionField(old) != 0)
            seqCacheRemove(Get<std::int32_t>(old, OffDate), Get<std::int16_t>(old, OffSeq));
        if (RecordBuffer.Version != 0)
            seqCacheAdd(RecordBuffer.TransDate, RecordBuffer.Seq);
    }
    return true;
}

void InvestmentFile::BuildRecordIndex()
{
    RecordIndex.clear();
    const std::int32_t count = RecordCount(m_files, InvestmentSlot);
    RecordIndex.reserve(size_t(std::max(count, 1)) + 1);
    RecordIndex.push_back({});  // position 0 is not used
    // Read in large blocks: the file is scanned once from record 2; a partial
    // record at the end is ignored.
    constexpr std::int32_t Block = 4096;
    // No larger than the file needs: most ledgers are far below one block.
    std::vector<char> buffer(size_t(std::clamp(count - 1, 1, Block)) * RecordLength);
    for (std::int32_t first = 2; first <= count; first += Block) {
        const std::int32_t n = std::min(Block, count - first + 1);
        if (!m_files.readAt(InvestmentSlot, std::int64_t(first - 1) * RecordLength, buffer.data(),
                            std::int64_t(n) * RecordLength))
            break;
        for (std::int32_t k = 0; k < n; ++k) {
            const char* bytes = buffer.data() + size_t(k) * RecordLength;
            if (Get<std::int16_t>(bytes, OffVersion) != 0)
                RecordIndex.push_back({Get<std::int32_t>(bytes, OffDate),
                                       Get<std::int16_t>(bytes, OffSeq), first + k});
        }
    }
    if (RecordIndex.size() == 1) {
        RecordIndex.push_back({});  // one zeroed entry, not sorted
        return;
    }
    RecordIndex.shrink_to_fit();
    // Files are mostly appended in date order: skip the sort's passes when
    // the list is already in order (the sort would exchange nothing).
    bool sorted = true;
    for (size_t i = 2; i < RecordIndex.size() && sorted; ++i)
        sorted = !SortsAfter(RecordIndex[i - 1], RecordIndex[i]);
    if (sorted)
        return;
    // With no two entries on the same date and Seq every correct sort gives
    // the one same order, so a fast sort stands in for the gap sort; only
    // duplicates (a damaged file) leave an order that depends on the sort.
    std::vector<RecordIndexEntry> fast(RecordIndex.begin() + 1, RecordIndex.end());
    std::sort(fast.begin(), fast.end(), [](const RecordIndexEntry& a, const RecordIndexEntry& b) {
        return SortsAfter(b, a);
    });
    const bool duplicates =
        std::adjacent_find(fast.begin(), fast.end(),
                           [](const RecordIndexEntry& a, const RecordIndexEntry& b) {
                               return a.TransDate == b.TransDate && a.Seq == b.Seq;
                           }) != fast.end();
    if (duplicates)
        SortRecordIndex(RecordIndex);
    else
        std::copy(fast.begin(), fast.end(), RecordIndex.begin() + 1);
}

std::size_t InvestmentFile::indexedCount() const
{
    if (RecordIndex.size() <= 1)
        return 0;
    if (RecordIndex.size() == 2 && RecordIndex[1].RecNo == 0)
        return 0;
    return RecordIndex.size() - 1;
}

void InvestmentFile::forgetSeqCache()
{
    m_seqCacheValid = false;
    m_seqs.clear();
}

void InvestmentFile::seqCacheAdd(std::int32_t date, std::int16_t seq)
{
    ++m_seqs[date][seq];
}

void InvestmentFile::seqCacheRemove(std::int32_t date, std::int16_t seq)
{
    auto it = m_seqs.find(date);
    if (it == m_seqs.end())
        return;
    auto s = it->second.find(seq);
    if (s == it->second.end())
        return;
    if (--s->second == 0)
        it->second.erase(s);
    if (it->second.empty())
        m_seqs.erase(it);
}

bool InvestmentFile::ensureSeqCache()
{
    if (m_seqCacheValid)
        return true;
    m_seqs.clear();
    const std::int32_t count = RecordCount(m_files, InvestmentSlot);
    constexpr std::int32_t Block = 4096;
    // No larger than the file needs: most ledgers are far below one block.
    std::vector<char> buffer(size_t(std::clamp(count - 1, 1, Block)) * RecordLength);
    for (std::int32_t first = 2; first <= count; first += Block) {
        const std::int32_t n = std::min(Block, count - first + 1);
        if (!m_files.readAt(InvestmentSlot, std::int64_t(first - 1) * RecordLength, buffer.data(),
                            std::int64_t(n) * RecordLength)) {
            m_seqs.clear();
            return false;
        }
        for (std::int32_t k = 0; k < n; ++k) {
            const char* bytes = buffer.data() + size_t(k) * RecordLength;
            if (Get<std::int16_t>(bytes, OffVersion) != 0)
                seqCacheAdd(Get<std::int32_t>(bytes, OffDate), Get<std::int16_t>(bytes, OffSeq));
        }
    }
    m_seqCacheValid = true;
    return true;
}

std::int32_t InvestmentFile::AddRecord()
{
    if (!m_files.isOpen(InvestmentSlot))
        return -2;
    // The Seq of a new record is one more than the largest Seq in use on its
    // date, 0 for a new date (and never below 0).
    if (!ensureSeqCache())
        return -2;
    const std::int32_t n = AllocateRecord(m_files, InvestmentSlot, VersionMajor);
    if (n < 1)
        return n;
    TransactionRecord copy = RecordBuffer;
    copy.Seq = 0;
    auto it = m_seqs.find(copy.TransDate);
    if (it != m_seqs.end() && !it->second.empty()) {
        const std::int16_t largest = it->second.rbegin()->first;
        if (largest >= 0)
            copy.Seq = std::int16_t(largest + 1);
    }
    copy.Version = VersionMajor;
    RecordBuffer = copy;
    const RecordBytes bytes = EncodeRecord(copy);
    if (!WriteNewRecord(n, bytes)) {
        forgetSeqCache();
        return -2;
    }
    seqCacheAdd(copy.TransDate, copy.Seq);
    return n;
}

bool InvestmentFile::WriteNewRecord(std::int32_t n, const RecordBytes& bytes)
{
    // Written so that a process that dies at any moment leaves either no new
    // record or the whole one. Until its first field is written the record
    // reads as free (Version 0), and it is on no chain: AllocateRecord has
    // taken it off already, or it lies past the old end. So the file first
    // grows by a whole zeroed record when the record is new (one change of
    // length, never a partial record), then takes the fields after the first,
    // and the first field comes last. A reused record's first field goes from
    // 0 to the version in its low byte alone.
    const std::int64_t offset = std::int64_t(n - 1) * RecordLength;
    if (m_files.length(InvestmentSlot) < offset + RecordLength &&
        !m_files.truncate(InvestmentSlot, offset + RecordLength))
        return false;
    constexpr int Rest = OffVersion + int(sizeof(std::int16_t));
    return m_files.writeAt(InvestmentSlot, offset + Rest, bytes.data() + Rest,
                           RecordLength - Rest) &&
           m_files.writeAt(InvestmentSlot, offset, bytes.data(), Rest);
}

std::int32_t InvestmentFile::DeleteRecord(std::int32_t n)
{
    char old[RecordLength];
    const bool known = n >= 2 && n <= RecordCount(m_files, InvestmentSlot) &&
                       ReadRaw(m_files, InvestmentSlot, n, old) && RecordVersionField(old) != 0;
    const std::int32_t result = ReleaseRecord(m_files, InvestmentSlot, n);
    if (result == n && known && m_seqCacheValid)
        seqCacheRemove(Get<std::int32_t>(old, OffDate), Get<std::int16_t>(old, OffSeq));
    return result;
}

bool InvestmentFile::RestoreRecords(
    std::int32_t count, const std::vector<std::pair<std::int32_t, RecordBytes>>& records)
{
    // The Seqs in use are read from the file again at the next AddRecord.
    forgetSeqCache();
    if (!m_files.isOpen(InvestmentSlot))
        return false;
    bool ok = true;
    if (RecordCount(m_files, InvestmentSlot) > count)
        ok = m_files.truncate(InvestmentSlot, std::int64_t(count) * RecordLength);
    for (const auto& [n, bytes] : records)
        ok = WriteRaw(m_files, InvestmentSlot, n, bytes.data()) && ok;
    return ok;
}

QString DamageReport(FileTable& files, int slot)
{
    const std::int64_t length = files.length(slot);
    QString damage;
    if (length % RecordLength != 0)
        damage = QStringLiteral(
                     " ends with a partial record (its %1 bytes are not a whole number of "
                     "records); the partial record is ignored.")
                     .arg(length);
    else if (!CheckFreeChain(files, slot))
        damage = QStringLiteral(
            " has a damaged chain of deleted records; records can be read but "
            "not added or deleted.");
    if (!damage.isEmpty())
        damage += QStringLiteral("  Use \"Rebuild investment file\" to repair it.");
    return damage;
}

QString OpenFailureReason(const QString& path, int error, bool forWriting)
{
    const QFileInfo info(path);
    switch (error) {
        case ErrFileNotFound:
            return QStringLiteral("it does not exist");
        case ErrPathNotFound:
            return QStringLiteral("its folder %1 does not exist").arg(info.absolutePath());
        case ErrPermissionDenied:
            return QStringLiteral("it is open in another copy of Brisden");
        case ErrDiskFull:
            return QStringLiteral("the disk is full");
        case ErrPathFileAccess:
            if (info.isDir())
                return QStringLiteral("it is a folder");
            if (info.exists() && !info.isReadable())
                return QStringLiteral("you have no permission to read it");
            if (forWriting && info.exists() && !info.isWritable())
                return QStringLiteral("you have no permission to write it");
            if (forWriting && !info.exists() && !QFileInfo(info.absolutePath()).isWritable())
                return QStringLiteral("you have no permission to write in its folder");
            return forWriting ? QStringLiteral("it cannot be written (read-only file system?)")
                              : QStringLiteral("it cannot be read");
        default:
            return ErrorText(error);
    }
}

QString WhyNotWritable(FileTable& files, int slot, const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0 && (st.st_mode & 0222) == 0)
        return QStringLiteral("it is marked read-only (it has no write permission)");
    files.OpenFile(slot, path, QStringLiteral("R"), QStringLiteral("RW"), RecordLength);
    const int number = files.fileNumber(slot);
    files.CloseFile(slot);
    if (number >= 1)
        return QString();
    struct statvfs fs {};
    if (-number == ErrPathFileAccess &&
        ::statvfs(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &fs) == 0 &&
        (fs.f_flag & ST_RDONLY))
        return QStringLiteral("its file system is read-only");
    return OpenFailureReason(path, -number, true);
}

bool OpenInvestmentFile(InvestmentFile& file, const QString& path, const QString& description,
                        ui::IMessageBox& messages, FileAccess access, ui::ILogSink* log)
{
    FileTable& files = file.files();
    if (path.trimmed().compare(file.CurrentFile.trimmed(), Qt::CaseInsensitive) == 0)
        file.close();
    // Every failure names the file and the reason, and is logged.
    auto fail = [&](const QString& text, bool beep) {
        if (beep)
            messages.beep();
        messages.show(text, ui::Icon::Exclamation);
        if (log) {
            QString line = text;
            line.replace(QLatin1Char('\n'), QLatin1Char(' '));
            log->LogSession(QStringLiteral("Opening ") + path + QStringLiteral(" failed: ") + line);
        }
        return false;
    };

    files.OpenFile(ShortSlot, path, QStringLiteral("I"), QStringLiteral("R"), 0);
    const int probe = files.fileNumber(ShortSlot);
    files.CloseFile(ShortSlot);
    if (probe < 1) {
        if (-probe == ErrFileNotFound)
            return fail(QStringLiteral(
                            "This file has been moved or deleted, or it's name has been changed.") +
                            QStringLiteral("\n") + path,
                        false);
        return fail(QStringLiteral("Error: ") + ErrorText(-probe) + QStringLiteral("\n") + path +
                        QStringLiteral(": ") + OpenFailureReason(path, -probe, false),
                    true);
    }

    // A file that cannot be written is refused for changes, or viewed.
    const bool wasReadOnly = file.readOnly();
    const QString oldReason = file.ReadOnlyReason;
    QString notWritable;
    if (access != FileAccess::View) {
        notWritable = WhyNotWritable(files, ShortSlot, path);
        if (!notWritable.isEmpty() && access == FileAccess::Write)
            return fail(QStringLiteral("Error: ") + path + QStringLiteral(" cannot be changed: ") +
                            notWritable + QStringLiteral("."),
                        true);
    }
    if (access == FileAccess::View)
        file.setReadOnly(true, QStringLiteral("it is opened for reading only"));
    else
        file.setReadOnly(!notWritable.isEmpty(), notWritable);
    auto restoreMode = [&] { file.setReadOnly(wasReadOnly, oldReason); };

    if (!file.open(path)) {
        const int error = -files.fileNumber(InvestmentSlot);
        restoreMode();
        return fail(QStringLiteral("Error: ") + ErrorText(error) + QStringLiteral("\n") + path +
                        QStringLiteral(": ") + OpenFailureReason(path, error, !file.readOnly()),
                    true);
    }

    const std::int64_t length = files.length(InvestmentSlot);
    if (length > 0) {
        char bytes[RecordLength] = {};
        const bool whole =
            length >= RecordLength && files.readAt(InvestmentSlot, 0, bytes, RecordLength);
        const std::int16_t version = RecordVersionField(bytes);
        if (!whole || (version != VersionMajor && version != 5)) {
            file.close();
            restoreMode();
            return fail(
                path + QStringLiteral(" is the wrong format.  Convert your data files to version") +
                    QStringLiteral(" ") + QString::number(VersionMajor) +
                    QStringLiteral(", using BRISCONV, and try again."),
                false);
        }
        // A damaged file can still be read and listed; the user is told, and
        // writes that would land in the wrong place are refused record by
        // record. Rebuilding the file repairs it.
        const QString damage = DamageReport(files, InvestmentSlot);
        if (!damage.isEmpty()) {
            messages.show(path + damage, ui::Icon::Exclamation);
            if (log)
                log->LogSession(path + damage);
        }
    }
    if (log && access == FileAccess::ViewIfNeeded && file.readOnly())
        log->LogSession(QStringLiteral("Opened ") + path + QStringLiteral(" read-only: ") +
                        file.ReadOnlyReason);
    file.CurrentFile = path;
    file.CurrentFileDesc = description;
    return true;
}

}  // namespace brisden
