// How long opening a large ledger takes until its listing shows in the grid,
// and how much memory the process holds then. The figures are printed, never
// asserted. The million-record case runs only when BRISDEN_LARGE_GRID is set.

#include "GuiTestSupport.h"

#include "data/Dates.h"

#include <QElapsedTimer>
#include <QFile>

using namespace brisden;
using namespace brisden::test;

namespace {

QString WriteLargeLedger(const QString& path, int records)
{
    std::vector<Tx> txs;
    txs.reserve(size_t(records));
    const std::int32_t first = DateToDayNumber(19500101);
    for (int i = 0; i < records; ++i) {
        // Several records a day; purchases, price updates and small sales.
        const std::int32_t date = DayNumberToDate(first + i / 3);
        const double price = 10 + (i % 97) * 0.25;
        switch (i % 3) {
            case 0:
                txs.push_back({date, "buy", 100, price, 0});
                break;
            case 1:
                txs.push_back({date, "price", 0, price, 0});
                break;
            default:
                txs.push_back({date, "sell", -price, price, 1});
                break;
        }
    }
    return WriteLedger(path, txs);
}

long ProcessMemoryKb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toLong();
    }
    return -1;
}

void Measure(int records)
{
    StartedProgram p;
    QElapsedTimer clock;
    clock.start();
    const QString dat = WriteLargeLedger(p.dir.path() + QStringLiteral("/Large.dat"), records);
    const qint64 written = clock.elapsed();
    const QString def = WritePortfolio(p.dir.path() + QStringLiteral("/Large.def"),
                                       {{dat, QStringLiteral("Large")}});
    QVERIFY(p.start(QStringLiteral("[General]\r\nDefaultPortfolio=") + def +
                    QStringLiteral("\r\nAlwaysCopyFile=False\r\n")));
    p.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.window));

    clock.restart();
    QVERIFY(OpenInvestment(*p.window, dat));
    QCoreApplication::processEvents();
    const qint64 opened = clock.elapsed();
    QCOMPARE(p.window->listedRows(), records + 1);

    p.window->sharePriceBox()->setText(QStringLiteral("12"));
    clock.restart();
    p.window->mnuRefreshItem_Click();
    QCoreApplication::processEvents();
    const qint64 refreshed = clock.elapsed();

    qInfo(
        "%d records: file written in %lld ms; opened and listed in %lld ms; "
        "refreshed in %lld ms; memory now %ld kB, peak %ld kB",
        records, written, opened, refreshed, ProcessMemoryKb("VmRSS:"), ProcessMemoryKb("VmHWM:"));
}

}  // namespace

class GridSpeedTest : public QObject {
    Q_OBJECT

private slots:
    void hundredThousandRecords() { Measure(100000); }
    void millionRecords()
    {
        if (qEnvironmentVariableIsEmpty("BRISDEN_LARGE_GRID"))
            QSKIP("set BRISDEN_LARGE_GRID=1 to list a million records");
        Measure(1000000);
    }
};

QTEST_MAIN(GridSpeedTest)
#include "test_grid_speed.moc"
