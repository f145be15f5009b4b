#include "FuzzSupport.h"

#include "analysis/Listing.h"
#include "analysis/ListingTextFile.h"
#include "report/ReportFile.h"
#include "report/ReportState.h"

#include <QDir>
#include <QFile>
#include <QtGlobal>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace brisden::fuzz {

namespace {

void QuietQt(QtMsgType, const QMessageLogContext&, const QString&) {}

QString MakeWorkFolder()
{
    // In memory where there is a memory file system: the targets write a
    // file or two per run.
    QByteArray pattern = QDir("/dev/shm").exists() ? QByteArray("/dev/shm/brisden-fuzz-XXXXXX")
                                                   : QByteArray("/tmp/brisden-fuzz-XXXXXX");
    if (!::mkdtemp(pattern.data())) {
        std::perror("brisden fuzz: no scratch folder");
        std::abort();
    }
    qInstallMessageHandler(QuietQt);
    const QString folder = QFile::decodeName(pattern);
    std::atexit([] { QDir(WorkFolder()).removeRecursively(); });
    return folder;
}

}  // namespace

const QString& WorkFolder()
{
    static const QString folder = MakeWorkFolder();
    return folder;
}

QString WorkPath(const QString& name)
{
    return WorkFolder() + QLatin1Char('/') + name;
}

const Calendar& FixedCalendar()
{
    static const Calendar calendar = [] {
        Calendar c;
        c.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        c.DateSeparator = QStringLiteral("/");
        c.DateOrderMask = QStringLiteral("MDY");
        c.SetToday(QDate(2024, 6, 28));
        return c;
    }();
    return calendar;
}

QByteArray Bytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        std::abort();
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            std::abort();
        done += n;
    }
    ::close(fd);
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QByteArray bytes = file.readAll();
    if (bytes.isNull())
        bytes = QByteArray("");  // an empty file is not a missing one
    return bytes;
}

std::vector<InUseRecord> RecordsInUse(const QByteArray& dat)
{
    std::vector<InUseRecord> records;
    for (qsizetype n = 2; n * RecordLength <= dat.size(); ++n) {
        const char* bytes = dat.constData() + (n - 1) * RecordLength;
        if (RecordVersionField(bytes) != 0)
            records.push_back({std::int32_t(n), QByteArray(bytes, RecordLength)});
    }
    return records;
}

QByteArray SmallLedger(int records, std::uint32_t seed)
{
    QByteArray bytes(RecordLength, '\0');
    const std::int16_t version = VersionMajor;
    const std::int32_t none = -1;
    std::memcpy(bytes.data(), &version, sizeof version);
    std::memcpy(bytes.data() + 2, &none, sizeof none);
    for (int i = 0; i < records; ++i) {
        TransactionRecord r;
        r.Version = VersionMajor;
        r.TransDate = std::int32_t(20100101 + (seed + std::uint32_t(i) * 7) % 12 * 100 +
                                   std::uint32_t(i) % 28 + std::uint32_t(i) / 12 * 10000);
        r.setDesc(QStringLiteral("Rec %1").arg(i));
        r.SharePrice = 10.0 + i;
        r.Amount = i % 3 == 2 ? -50.0 * (i + 1) : 100.0 * (i + 1);
        r.Shares = r.Amount < 0 ? -r.Amount / r.SharePrice : 0;
        const RecordBytes encoded = EncodeRecord(r);
        bytes.append(encoded.data(), RecordLength);
    }
    return bytes;
}

void ListToMemory(InvestmentFile& file, ui::ILogSink& log, const Portfolio* portfolio)
{
    QuietMessages messages;
    DefaultInput input;
    ui::NullCancelPoll noCancel;
    const QString title = QStringLiteral("Brisden 6.0");
    ReportState report;
    report.ReportDestination = DestinationFile;
    ReportFileWriter writer;
    ListingFileOutput output(writer, FixedCalendar(), title, [] { return QTime(12, 0); });
    ListingContext context{file,    report,   FixedCalendar(), log,      output,
                           nullptr, messages, input,           noCancel, title};
    TransactionListing listing(context);
    listing.ListTrans(portfolio);
}

void Broken(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "brisden fuzz: property broken at %s:%d: %s\n", file, line, what);
    std::abort();
}

}  // namespace brisden::fuzz

namespace brisden::fuzz {

InWorkFolder::InWorkFolder()
{
    if (!::getcwd(m_previous, sizeof m_previous) ||
        ::chdir(QFile::encodeName(WorkFolder()).constData()) != 0)
        std::abort();
}

InWorkFolder::~InWorkFolder()
{
    if (::chdir(m_previous) != 0)
        std::abort();
}

}  // namespace brisden::fuzz
