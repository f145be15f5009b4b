// The cash flows behind the rate of return, opened from the main window's
// summary: one table row per flow, kept up to date by the next listing,
// "Copy" with every digit, and the window's help topic.

#include "GuiTestSupport.h"

#include "grid/widgets/RateFlowsWindow.h"

using namespace brisden;
using namespace brisden::test;

class RateFlowsTest : public QObject {
    Q_OBJECT

private slots:
    void summaryOpensTheFlowsOfTheListing();
};

void RateFlowsTest::summaryOpensTheFlowsOfTheListing()
{
    StartedProgram p;
    const QString dat =
        WriteLedger(p.dir.path() + QStringLiteral("/Fund.dat"), {{20040105, "Buy", 1000, 10, 0},
                                                                 {20040601, "Price", 0, 11, 0},
                                                                 {20041001, "Sell", -550, 11, 50}});
    QVERIFY(StartAndOpen(p, dat, QStringLiteral("My fund")));
    MainWindow& w = *p.window;
    FakeHelp help;
    w.ledger().setHelp(nullptr);
    w.sharePriceBox()->setText(QStringLiteral("12"));
    QTest::keyClick(w.sharePriceBox(), Qt::Key_Return);

    // The rate's value answers a click as its caption's link does.
    QVERIFY(!w.ledger().rateFlowsWindow());
    QLabel* rate = w.summaryPanel()->labels().lblIRR;
    QTest::mouseClick(rate, Qt::LeftButton);
    grid::RateFlowsWindow* flows = w.ledger().rateFlowsWindow();
    QVERIFY(flows && flows->isVisible());
    QVERIFY(!flows->helpButton()->isEnabled());  // no help given yet

    // The purchase, the sale and the 50 shares left, valued at 12 today.
    const QAbstractItemModel& table = *flows->table()->model();
    QCOMPARE(table.rowCount(), 3);
    QCOMPARE(table.data(table.index(1, 1)).toString(), QStringLiteral("-550.00"));
    QCOMPARE(table.data(table.index(2, 1)).toString(), QStringLiteral("-600.00"));
    QCOMPARE(table.data(table.index(2, 4)).toString(), QStringLiteral("terminal value"));
    QCOMPARE(table.data(table.index(0, 5)).toString(), dat);
    // Carried to the end day at the rate, the flows add up to nothing.
    double carried = 0;
    for (int row = 0; row < 3; ++row)
        carried += QLocale().toDouble(table.data(table.index(row, 3)).toString());
    QVERIFY2(std::fabs(carried) < 0.02, qPrintable(QString::number(carried)));
    QVERIFY(flows->note()->text().contains(rate->text()));

    flows->copyButton()->click();
    const QStringList copied = QApplication::clipboard()->text().split(QLatin1Char('\n'));
    QCOMPARE(copied.size(), 3 + 2);
    QVERIFY(copied[0].startsWith(QStringLiteral("Date\tAmount\tYears\t")));
    QVERIFY(copied[2].startsWith(QStringLiteral("2004-10-01\t-550\t")));
    QVERIFY(copied[3].startsWith(
        QStringLiteral("%1\t-600\t").arg(QDate::currentDate().toString(Qt::ISODate))));

    // A new listing while the window is open shows its flows: 20 today.
    w.sharePriceBox()->setText(QStringLiteral("20"));
    QTest::keyClick(w.sharePriceBox(), Qt::Key_Return);
    QCOMPARE(table.rowCount(), 3);
    QCOMPARE(table.data(table.index(2, 1)).toString(), QStringLiteral("-1,000.00"));

    w.ledger().setHelp(&help);
    QVERIFY(flows->helpButton()->isEnabled());
    flows->helpButton()->click();
    QCOMPARE(help.topics, QList<int>{ui::HelpRateOfReturnFlows});

    // The caption's link opens the same window again.
    flows->close();
    auto* caption = w.summaryPanel()->findChild<QLabel*>(QStringLiteral("lblIRRCaption"));
    QVERIFY(caption);
    emit caption->linkActivated(QStringLiteral("flows"));
    QVERIFY(flows->isVisible());
    QCOMPARE(w.ledger().rateFlowsWindow(), flows);
}

QTEST_MAIN(RateFlowsTest)
#include "tst_rateflows.moc"
