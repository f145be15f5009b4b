// Charts on the screen: the options dialog and its mode rule, the "Charts..."
// command on an open ledger, the chart window's type stepping with its
// statistic footnote and drawings, colours, printing to a PDF printer, and a long
// series drawn quickly.

#include "GuiTestSupport.h"

#include "chart/ChartMath.h"
#include "chart/ChartTypes.h"
#include "chart/widgets/ChartCommands.h"
#include "chart/widgets/ChartDialogs.h"
#include "chart/widgets/ChartSelectDialog.h"
#include "chart/widgets/ChartWindow.h"
#include "shell/IniFile.h"

#include <QAbstractSeries>
#include <QChart>
#include <QChartView>
#include <QPrinter>
#include <set>

using namespace brisden;
using namespace brisden::chart;
using namespace brisden::test;

namespace {

// Distinct colours of an image (a blank drawing has one or two).
int ColourCount(const QImage& image)
{
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    return int(colours.size());
}

// A yearly chart of three years for two series, as the builder makes it.
void YearlyChart(ChartDocument& chart, int type)
{
    ChartSettings s;
    s.ChartElement = ElementDistributions;
    AddSeries(chart, s, std::vector<ChartPoint>{{2019, 40}, {2020, 55}, {2021, 30}},
              QStringLiteral(" First "), type);
    AddSeries(chart, s, std::vector<ChartPoint>{{2019, 20}, {2020, 25}, {2021, 45}},
              QStringLiteral(" Second "), type);
    chart.ValueAxisTitle = QStringLiteral("Distributions ($) ");
    chart.Title = QStringLiteral("Test chart\nDistributions ($)  by year");
}

// A chart window of its own with settings kept in a scratch folder.
struct WindowRig {
    QTemporaryDir dir;
    Settings settings;
    FakeMessages messages;
    FakeHelp help;
    ChartWindow window{ChartWindowContext{settings, dir.filePath(QStringLiteral("Application.ini")),
                                          QStringLiteral("Brisden"), messages}};
    ChartDocument chart;
    WindowRig()
    {
        window.setHelp(&help);
        window.resize(900, 600);
    }
    bool show()
    {
        window.showChart(chart);
        return QTest::qWaitForWindowExposed(&window);
    }
};

}  // namespace

class ChartsTest : public QObject {
    Q_OBJECT

private slots:
    void optionsDialogDefaultsAndModeRule();
    void chartCommandOnTheOpenLedger();
    void steppingCycleAndKeys();
    void coloursFromSettingsSeriesAndDialog();
    void printingFitsThePrintableArea();
    void longSeriesDrawQuickly();
};

void ChartsTest::optionsDialogDefaultsAndModeRule()
{
    ChartSelectDialog dialog;
    FakeHelp help;
    dialog.setHelp(&help);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    // First use: the time series, with their own scales only.
    QVERIFY(dialog.chkFrame7->isChecked() && !dialog.chkFrame8->isChecked());
    QCOMPARE(dialog.Combo3->count(), 6);
    QCOMPARE(dialog.Combo4->count(), 2);
    QVERIFY(!dialog.Combo1->isEnabled() && dialog.optElement[2]->isEnabled());

    // The yearly mode: the other frame's controls, every scale and "As percentage".
    QTest::mouseClick(dialog.chkFrame8, Qt::LeftButton);
    QVERIFY(dialog.chkFrame8->isChecked() && !dialog.chkFrame7->isChecked());
    QVERIFY(dialog.Combo1->isEnabled() && dialog.chkStack->isEnabled());
    QVERIFY(!dialog.optElement[0]->isEnabled());
    QCOMPARE(dialog.Combo3->count(), 8);
    QCOMPARE(dialog.Combo4->count(), 3);
    dialog.Combo3->setCurrentIndex(6);
    QCOMPARE(dialog.Combo3->currentData().toInt(), int(ScalePercentColumnSum));
    dialog.Combo4->setCurrentIndex(2);

    // Switching the yearly box off brings the time series back: "Linear", no
    // "As percentage" (its choice falls back to "*None").
    dialog.chkFrame8->click();
    QVERIFY(dialog.chkFrame7->isChecked() && !dialog.chkFrame8->isChecked());
    QCOMPARE(dialog.Combo3->currentText(), QStringLiteral("Linear"));
    QCOMPARE(dialog.Combo4->currentText(), QStringLiteral("*None"));
    QCOMPARE(dialog.Combo4->count(), 2);
    // And the time-series box off brings the yearly mode.
    dialog.chkFrame7->click();
    QVERIFY(dialog.chkFrame8->isChecked() && !dialog.chkFrame7->isChecked());
    // Clicking the other frame itself selects it.
    QTest::mouseClick(dialog.Frame7, Qt::LeftButton, {}, QPoint(5, dialog.Frame7->height() - 5));
    QVERIFY(dialog.chkFrame7->isChecked() && !dialog.chkFrame8->isChecked());

    QCOMPARE(ChartSelectDialog::DateBoxValue(QStringLiteral("__/__/____")), 0);
    QCOMPARE(ChartSelectDialog::DateBoxValue(QStringLiteral("01/15/2020")), 1152020);
    QTest::mouseClick(dialog.cmdHelp, Qt::LeftButton);
    QCOMPARE(help.topics, QList<int>{ui::HelpChartOptions});
    dialog.close();
    QCOMPARE(dialog.Tag, QStringLiteral("1"));
}

void ChartsTest::chartCommandOnTheOpenLedger()
{
    StartedProgram p;
    const QString dat = WriteLedger(p.dir.path() + QStringLiteral("/Fund.dat"),
                                    {{20190102, "buy", 1000, 10, 0},
                                     {20190601, "reinv", 0, 11, 4},
                                     {20191220, "cash", -20, 0, 0},
                                     {20200601, "price", 0, 12, 0},
                                     {20201215, "reinv", 0, 12.5, 4},
                                     {20210104, "price", 0, 13, 0}});
    QVERIFY(StartAndOpen(p, dat, QStringLiteral("My fund")));
    MainWindow& w = *p.window;
    ChartCommands& charts = w.charts();
    w.sharePriceBox()->setText(QStringLiteral("13"));
    p.messages.shown.clear();

    // The dialog as a user leaves it: the dates typed, OK.
    ChartSelectDialog* dialog = charts.selectDialog();
    QTimer::singleShot(0, dialog, [dialog] {
        QCOMPARE(dialog->BeginDate->text(), QStringLiteral("00/00/0000"));
        dialog->BeginDate->setText(QStringLiteral("06012019"));
        dialog->Command1[0]->click();
    });
    w.action("mnuChartItem")->trigger();
    ChartWindow* window = charts.window();
    QVERIFY(window && window->isVisible());
    ChartDocument& chart = *window->chart();
    QCOMPARE(chart.ChartType, int(Chart2DXY));
    QVERIFY(!window->steppingEnabled());
    QVERIFY(!window->Command1[3]->isEnabled());
    // From June 2019 on: the reinvestment, the reinvestment and the two price
    // updates, and today's valuation; not the purchase nor the cash payment.
    QCOMPARE(chart.seriesCount(), 1);
    QCOMPARE(chart.seriesLabel(1), QStringLiteral(" My fund "));
    const auto points = chart.seriesPoints(1);
    QCOMPARE(int(points.size()), 5);
    QCOMPARE(points.front().y, 11.0);
    QCOMPARE(w.program().report.ListFromDate, 0);  // the listing refreshed the grid

    // A second run in the yearly mode, erasing the first chart.
    charts.setAskAddOrErase([](const QString& question) {
        return question == chart_text::AlreadyCreated() ? AddOrErase::Erase : AddOrErase::Cancel;
    });
    QTimer::singleShot(0, dialog, [dialog] {
        dialog->BeginDate->setText(QStringLiteral("00000000"));
        dialog->chkFrame8->click();
        dialog->Combo2->setCurrentIndex(3);  // Mean
        dialog->Command1[0]->click();
    });
    w.action("mnuChartItem")->trigger();
    window = charts.window();
    QVERIFY(window && window->isVisible());
    ChartDocument& yearly = *window->chart();
    QCOMPARE(yearly.ChartType, int(Chart3DBar));
    QVERIFY(window->steppingEnabled());
    QCOMPARE(yearly.seriesCount(), 1);
    QCOMPARE(yearly.rowLabel(1), QStringLiteral(" 2019"));
    QCOMPARE(yearly.cell(1, 1), std::optional<double>(44 + 20));
    QVERIFY(yearly.Footnote.endsWith(QStringLiteral("Additional line(s) represent Mean")));

    // "Yes" adds the same file as a second series.
    charts.setAskAddOrErase([](const QString&) { return AddOrErase::Add; });
    QTimer::singleShot(0, dialog, [dialog] { dialog->Command1[0]->click(); });
    w.action("mnuChartItem")->trigger();
    QCOMPARE(charts.window()->chart()->seriesCount(), 2);
    // Cancel in the dialog changes nothing.
    QTimer::singleShot(0, dialog, [dialog] { dialog->Command1[1]->click(); });
    w.action("mnuChartItem")->trigger();
    QCOMPARE(charts.window()->chart()->seriesCount(), 2);
    QVERIFY2(p.messages.shown.empty(), qPrintable(p.messages.texts().join(u'|')));

    // "Exit this screen" ends the chart: the next one starts without a question.
    charts.window()->mnuExit->trigger();
    QTRY_VERIFY(!charts.window());
    int questions = 0;
    charts.setAskAddOrErase([&questions](const QString&) {
        ++questions;
        return AddOrErase::Cancel;
    });
    QTimer::singleShot(0, dialog, [dialog] { dialog->Command1[0]->click(); });
    w.action("mnuChartItem")->trigger();
    QCOMPARE(questions, 0);
    QVERIFY(charts.window());
    QCOMPARE(charts.window()->chart()->seriesCount(), 1);
    charts.window()->close();
}

void ChartsTest::steppingCycleAndKeys()
{
    WindowRig r;
    YearlyChart(r.chart, Chart2DCombination);
    r.chart.Statistic = StatMean;
    r.chart.StatisticName = QStringLiteral("Mean");
    r.chart.style(1).StatFlags = StatMean;
    r.chart.Weighting = PieByDiameter;
    QVERIFY(r.show());
    QVERIFY(r.window.steppingEnabled());

    r.window.Command1[3]->click();
    QCOMPARE(r.chart.ChartType, int(Chart2DPie));
    QCOMPARE(r.chart.Footnote,
             QStringLiteral(", weighted by diameter\nAdditional line(s) represent Mean"));
    QTest::keyClick(&r.window, Qt::Key_PageDown);
    QCOMPARE(r.chart.ChartType, int(Chart3DBar));
    QCOMPARE(r.chart.Footnote, QStringLiteral("Additional line(s) represent Mean"));
    const QImage deep = r.window.chartImage();
    // A held key does not repeat.
    QTest::sendKeyEvent(QTest::Press, &r.window, Qt::Key_PageDown, QString(), Qt::NoModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&r.window, &repeat);
    QCOMPARE(r.chart.ChartType, int(Chart2DBar));
    // The 3D twin of the bar chart is another drawing, with the wall colour in it.
    const QImage flat = r.window.chartImage();
    QCOMPARE(deep.size(), flat.size());
    int differing = 0;
    bool wall = false;
    for (int y = 0; y < deep.height(); y += 2)
        for (int x = 0; x < deep.width(); x += 2) {
            differing += deep.pixel(x, y) != flat.pixel(x, y) ? 1 : 0;
            wall = wall || deep.pixelColor(x, y) == QColor(0xFF, 0xFF, 0xEE);
        }
    QVERIFY(differing > deep.width() * deep.height() / 4 / 20);
    QVERIFY(wall);
    QTest::keyClick(&r.window, Qt::Key_PageUp);
    QTest::keyClick(&r.window, Qt::Key_PageUp);
    QCOMPARE(r.chart.ChartType, int(Chart2DPie));
    r.window.mnuPrevious->trigger();
    QCOMPARE(r.chart.ChartType, int(Chart2DCombination));

    // Every type of the cycle draws something, in one full turn each way;
    // this time the pies are weighted by area.
    r.chart.Weighting = PieByArea;
    for (int i = 0; i < 11; ++i) {
        r.window.stepChart(true);
        QVERIFY2(ColourCount(r.window.chartImage()) > 8,
                 qPrintable(ChartTypeName(r.chart.ChartType)));
        if (r.chart.ChartType == Chart2DPie)
            QVERIFY(r.chart.Footnote.startsWith(QStringLiteral(", weighted by area\n")));
    }
    QCOMPARE(r.chart.ChartType, int(Chart2DCombination));

    // An X-Y chart does not step.
    ChartDocument xy;
    ChartSettings s;
    AddSeries(xy, s, std::vector<ChartPoint>{{2020.1, 1}, {2020.5, 2}}, QStringLiteral(" A "), 0);
    r.window.showChart(xy);
    QVERIFY(!r.window.Command1[2]->isEnabled() && !r.window.mnuChart->isEnabled());
    QTest::keyClick(&r.window, Qt::Key_PageDown);
    r.window.stepChart(false);
    QCOMPARE(xy.ChartType, int(Chart2DXY));

    r.window.mnuHelp->trigger();
    QCOMPARE(r.help.topics, QList<int>{ui::HelpChartWindow});
}

void ChartsTest::coloursFromSettingsSeriesAndDialog()
{
    WindowRig r;
    r.settings.ChartBackDropColor = QStringLiteral("&HFF");
    YearlyChart(r.chart, Chart3DBar);
    QVERIFY(r.show());
    QCOMPARE(r.chart.Colours.ChartBackDrop, 0x0000FFu);
    QCOMPARE(r.chart.Colours.PlotWall, 0xEEFFFFu);  // no setting: built in
    QCOMPARE(r.window.chartImage().pixelColor(3, 3), QColor(Qt::red));

    // A series' colour by a right click on it: a face of the front series of the 3D bars.
    Chart3DView* view = r.window.view3D();
    QPoint onFirst;
    for (int y = 0; y < view->height() && onFirst.isNull(); y += 2)
        for (int x = 0; x < view->width() && onFirst.isNull(); x += 2)
            if (view->seriesAt(QPoint(x, y)) == 1)
                onFirst = QPoint(x, y);
    QVERIFY(!onFirst.isNull());
    r.window.setPickColour([](const QColor& initial, QWidget*) {
        return initial.isValid() ? std::optional<QColor>(QColor(0, 200, 0)) : std::nullopt;
    });
    r.window.changeColourAt(onFirst);
    QCOMPARE(r.window.lastClickedSeries(), 1);
    QCOMPARE(r.chart.style(1).Colour, std::optional<ChartColour>(0x00C800));
    QVERIFY(!r.chart.style(2).Colour);

    // The same on a flat bar chart: a press on the second series' first bar.
    r.window.ApplyChartType(Chart2DBar);
    QChart* qchart = r.window.chartView()->chart();
    QAbstractSeries* bars = nullptr;
    for (QAbstractSeries* series : qchart->series())
        if (series->type() == QAbstractSeries::SeriesTypeBar)
            bars = series;
    QVERIFY(bars);
    // Two bars of 0.4 in each category: the second stands right of the middle.
    const QPoint at = r.window.chartView()->mapFromScene(
        qchart->mapToPosition(QPointF(0.2, 10), bars));
    QTest::mousePress(r.window.chartView()->viewport(), Qt::RightButton, {}, at);
    QTest::mouseRelease(r.window.chartView()->viewport(), Qt::RightButton, {}, at);
    r.window.changeColourAt(at);
    QCOMPARE(r.window.lastClickedSeries(), 2);
    QCOMPARE(r.chart.style(2).Colour, std::optional<ChartColour>(0x00C800));

    // The colour dialog: a swatch changed, saved as default, changed again and restored.
    r.window.setPickColour([](const QColor&, QWidget*) { return QColor(0x10, 0x20, 0x30); });
    ChartColorDialog* dialog = r.window.colorDialog();
    dialog->setSwatches(r.chart.Colours);
    dialog->cmdColor[1]->click();
    QCOMPARE(dialog->swatches().PlotBackDrop, 0x302010u);
    dialog->Command1[2]->click();  // Save as default
    const QString ini = r.dir.filePath(QStringLiteral("Application.ini"));
    QCOMPARE(ReadINI(QStringLiteral("Colors"), QStringLiteral("PlotBackDropColor"), QString(), ini),
             QStringLiteral("&H302010"));
    QCOMPARE(ReadINI(QStringLiteral("Colors"), QStringLiteral("ChartBackDropColor"), QString(), ini),
             QStringLiteral("&HFF"));
    r.window.setPickColour([](const QColor&, QWidget*) { return QColor(Qt::white); });
    dialog->cmdColor[1]->click();
    QCOMPARE(dialog->swatches().PlotBackDrop, 0xFFFFFFu);
    dialog->Command1[3]->click();  // Restore default
    QCOMPARE(dialog->swatches().PlotBackDrop, 0x302010u);
    // A cancelled picker leaves the swatch.
    r.window.setPickColour([](const QColor&, QWidget*) { return std::optional<QColor>(); });
    dialog->cmdColor[1]->click();
    QCOMPARE(dialog->swatches().PlotBackDrop, 0x302010u);
    dialog->cmdHelp->click();
    QCOMPARE(r.help.topics, QList<int>{ui::HelpChartColours});

    // OK applies the swatches; the next chart shows the saved colours.
    QTimer::singleShot(0, dialog, [dialog] { dialog->Command1[0]->click(); });
    r.window.changeChartColours();
    ChartDocument next;
    YearlyChart(next, Chart2DLine);
    r.window.showChart(next);
    QCOMPARE(next.Colours.PlotBackDrop, 0x302010u);
    QCOMPARE(next.Colours.ChartBackDrop, 0x0000FFu);
}

void ChartsTest::printingFitsThePrintableArea()
{
    WindowRig r;
    YearlyChart(r.chart, Chart3DArea);
    QVERIFY(r.show());

    // No graphics printer chosen, then one that is not installed.
    r.window.PrintChart();
    r.settings.GraphicsDevice = QStringLiteral("Chart Printer");
    r.window.setPrinterNames([] { return QStringList{QStringLiteral("Other")}; });
    r.window.PrintChart();
    QCOMPARE(r.messages.texts(),
             (QStringList{QStringLiteral("You need to pick 'Options' first, and select a "
                                         "graphics printer."),
                          QStringLiteral("The default graphics printer: Chart Printer is not "
                                         "available, please click 'Options', and pick another.")}));

    const QString pdf = r.dir.filePath(QStringLiteral("chart.pdf"));
    r.window.setPrinterNames([] { return QStringList{QStringLiteral("Chart Printer")}; });
    r.window.setPreparePrinter([pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    });
    QString device;
    r.window.setRunPrintDialog([&device](ChartPrintDialog& dialog) {
        device = dialog.lblDevice->text();
        return dialog.stretch() && !dialog.landscape();  // the defaults
    });
    r.window.PrintChart();
    QCOMPARE(device, QStringLiteral("Chart Printer"));
    QCOMPARE(r.messages.shown.size(), size_t(2));
    QVERIFY(QFileInfo(pdf).size() > 1000);
    const QRectF printed = r.window.lastPrintedRect();
    const QRectF page = r.window.lastPrintableArea();
    const QSize shown = r.window.chartSize();
    // A chart wider than the portrait page is high fills the page's width.
    QVERIFY(double(shown.width()) / shown.height() > page.width() / page.height());
    QCOMPARE(printed.topLeft(), QPointF(0, 0));
    QCOMPARE(printed.width(), page.width());
    QVERIFY(qAbs(printed.width() / printed.height() - double(shown.width()) / shown.height()) <
            1e-9);

    // Landscape without stretching: the chart at its own size.
    QFile::remove(pdf);
    r.window.setRunPrintDialog([](ChartPrintDialog& dialog) {
        dialog.optOrientation[1]->setChecked(true);
        dialog.chkStretch->setChecked(false);
        return true;
    });
    r.window.PrintChart();
    QVERIFY(QFileInfo(pdf).size() > 1000);
    QVERIFY(r.window.lastPrintableArea().width() > r.window.lastPrintableArea().height());
    QVERIFY(r.window.lastPrintedRect().width() < r.window.lastPrintableArea().width());
    QCOMPARE(r.window.lastPrintedRect().width() / r.window.lastPrintedRect().height(),
             double(shown.width()) / shown.height());

    // Cancel prints nothing.
    QFile::remove(pdf);
    r.window.setRunPrintDialog([](ChartPrintDialog&) { return false; });
    r.window.PrintChart();
    QVERIFY(!QFile::exists(pdf));
    r.window.printDialog()->cmdHelp->click();
    QCOMPARE(r.help.topics, QList<int>{ui::HelpChartPrint});
}

void ChartsTest::longSeriesDrawQuickly()
{
    WindowRig r;
    ChartSettings s;
    std::vector<ChartPoint> points;
    for (int i = 0; i < 100000; ++i)
        points.push_back({2000 + i / 4000.0, 100 + 20 * std::sin(i / 500.0) + (i % 13)});
    AddSeries(r.chart, s, points, QStringLiteral(" Long "), 0);
    r.chart.style(1).ShowMarkers = true;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(r.show());
    const QImage image = r.window.chartImage();
    const qint64 ms = timer.elapsed();
    qInfo("100,000 points: shown and drawn in %lld ms", ms);
    QVERIFY(ColourCount(image) > 8);
    QVERIFY(ms < 5000);
    // The data stay exact: every point is in the chart.
    QCOMPARE(int(r.chart.seriesPoints(1).size()), 100000);
    QCOMPARE(*r.chart.cell(54321, 2), points[54320].Y);
}

QTEST_MAIN(ChartsTest)
#include "tst_charts.moc"
