// brisden-cli chart: the chart of one or more investment files (or of every
// file of a portfolio), written as its chart grid in CSV and drawn as an
// image, PDF or SVG file.

#include "cli/CliCommon.h"

#include "analysis/Listing.h"
#include "chart/ChartBuilder.h"
#include "chart/ChartData.h"
#include "chart/ChartTypes.h"
#include "chart/render/ChartRender.h"
#include "data/InvestmentFile.h"
#include "data/NumberText.h"
#include "data/Portfolio.h"
#include "report/ReportState.h"
#include "shell/StartRules.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>

namespace brisden::cli {

namespace {

using namespace brisden::chart;

// Today's price of every file: its last known one.
class LastPriceAnswers final : public ui::IInputBox {
public:
    std::optional<QString> ask(const QString&, const QString&, const QString& defaultText) override
    {
        return defaultText;
    }
};

// The rows of a listing, as the grid would hold them.
class RowsOutput final : public IListingOutput {
public:
    std::vector<ChartRow> rows;
    int destination() const override { return DestinationScreen; }
    void beginFile(const ListingFileInfo&) override {}
    int addRow(const ListingRow& row, bool) override
    {
        rows.push_back(ChartRowOf(row));
        return int(rows.size());
    }
    void fileSummary(const ListingFileSummary&) override {}
    void cancelled() override {}
    void portfolioSummary(const QString&, const PortfolioTotalsArray&) override {}
    void rateOfReturn(float) override {}
};

struct ChartCommandOptions {
    QStringList paths;
    int element = 0;
    std::optional<int> type;
    std::int32_t from = 0, to = 99999999;
    QString today;
    ChartOptions chart;
    QString data, out;
    QSize size{1000, 620};
};

const QStringList ElementNames = {QStringLiteral("price"),         QStringLiteral("balance"),
                                  QStringLiteral("value"),         QStringLiteral("distributions"),
                                  QStringLiteral("bought"),        QStringLiteral("costs")};

std::optional<int> Choice(const QString& name, const QString& value, const QStringList& names,
                          const std::vector<int>& codes)
{
    const qsizetype i = names.indexOf(value.toLower());
    if (i < 0) {
        Fail(QStringLiteral("%1 is one of %2, not \"%3\"")
                 .arg(name, names.join(QStringLiteral(", ")), value));
        return std::nullopt;
    }
    return codes[size_t(i)];
}

int ParseChartOptions(const QStringList& args, ChartCommandOptions& o)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString arg = args[i];
        QString value;
        auto take = [&] { return TakeValue(args, i, &value); };
        if (arg == QLatin1String("--element")) {
            if (!take())
                return 2;
            const auto e = Choice(arg, value, ElementNames, {1, 2, 3, 4, 5, 6});
            if (!e)
                return 2;
            o.element = *e;
        } else if (arg == QLatin1String("--type")) {
            bool ok = false;
            if (!take())
                return 2;
            const int t = value.toInt(&ok);
            if (!ok || !IsChartType(t)) {
                Fail(QStringLiteral("--type needs a chart type (0 to 9, 14 or 16), not \"%1\"")
                         .arg(value));
                return 2;
            }
            o.type = t;
        } else if (arg == QLatin1String("--from") || arg == QLatin1String("--to")) {
            if (!take() ||
                !ParseMdyOption(arg, value, arg == QLatin1String("--from") ? &o.from : &o.to))
                return 2;
        } else if (arg == QLatin1String("--today")) {
            if (!TakeValue(args, i, &o.today))
                return 2;
        } else if (arg == QLatin1String("--changes-only")) {
            o.chart.ChangesOnly = true;
        } else if (arg == QLatin1String("--percent-change")) {
            o.chart.PercentChange = true;
        } else if (arg == QLatin1String("--statistic")) {
            if (!take())
                return 2;
            const QStringList names = {QStringLiteral("none"), QStringLiteral("min"),
                                       QStringLiteral("max"),  QStringLiteral("mean"),
                                       QStringLiteral("stddev"), QStringLiteral("regression")};
            const auto s = Choice(arg, value, names, {0, 1, 2, 3, 4, 5});
            if (!s)
                return 2;
            o.chart.Statistic = StatisticEntries()[size_t(*s)].code;
            o.chart.StatisticName = StatisticEntries()[size_t(*s)].text;
        } else if (arg == QLatin1String("--scale")) {
            if (!take())
                return 2;
            const QStringList names = {QStringLiteral("linear"),     QStringLiteral("log"),
                                       QStringLiteral("chart-max"),  QStringLiteral("column-max"),
                                       QStringLiteral("series-max"), QStringLiteral("chart-sum"),
                                       QStringLiteral("column-sum"), QStringLiteral("series-sum")};
            const auto c = Choice(arg, value, names,
                                  {ScaleLinear, ScaleLog10, ScalePercentChartMax,
                                   ScalePercentColumnMax, ScalePercentSeriesMax,
                                   ScalePercentChartSum, ScalePercentColumnSum,
                                   ScalePercentSeriesSum});
            if (!c)
                return 2;
            o.chart.Scale = *c;
        } else if (arg == QLatin1String("--labels")) {
            if (!take())
                return 2;
            const auto l = Choice(arg, value, {QStringLiteral("values"), QStringLiteral("percent")},
                                  {LabelsValues, LabelsPercent});
            if (!l)
                return 2;
            o.chart.DataPoints = *l;
        } else if (arg == QLatin1String("--stack")) {
            o.chart.Stack = true;
        } else if (arg == QLatin1String("--markers")) {
            o.chart.ShowMarkers = true;
        } else if (arg == QLatin1String("--bw")) {
            o.chart.ColorPen = false;
        } else if (arg == QLatin1String("--data")) {
            if (!TakeValue(args, i, &o.data))
                return 2;
        } else if (arg == QLatin1String("--out")) {
            if (!TakeValue(args, i, &o.out))
                return 2;
        } else if (arg == QLatin1String("--size")) {
            if (!take())
                return 2;
            const QStringList parts = value.toLower().split(QLatin1Char('x'));
            const int w = parts.size() == 2 ? parts[0].toInt() : 0;
            const int h = parts.size() == 2 ? parts[1].toInt() : 0;
            if (w < 200 || h < 150 || w > 10000 || h > 10000) {
                Fail(QStringLiteral("--size needs WIDTHxHEIGHT in pixels (200x150 to "
                                    "10000x10000), not \"%1\"")
                         .arg(value));
                return 2;
            }
            o.size = QSize(w, h);
        } else if (arg.startsWith(QLatin1String("--"))) {
            Fail(QStringLiteral("chart: unknown option \"%1\"").arg(arg));
            return 2;
        } else {
            o.paths << arg;
        }
    }
    if (o.paths.isEmpty()) {
        Fail(QStringLiteral("chart needs an investment file or a portfolio"));
        return 2;
    }
    if (o.element == 0) {
        Fail(QStringLiteral("chart needs --element (%1)").arg(ElementNames.join(QStringLiteral(", "))));
        return 2;
    }
    if (o.data.isEmpty() && o.out.isEmpty()) {
        Fail(QStringLiteral("chart needs --data FILE.csv or --out CHART (or both)"));
        return 2;
    }
    for (const QString& target : {o.data, o.out}) {
        if (target.trimmed().endsWith(QLatin1String(".DAT"), Qt::CaseInsensitive)) {
            Fail(QStringLiteral("Illegal pathname"));
            return 2;
        }
    }
    if (!o.out.isEmpty()) {
        const QString suffix = QFileInfo(o.out).suffix().toLower();
        if (suffix != QLatin1String("png") && suffix != QLatin1String("pdf") &&
            suffix != QLatin1String("svg")) {
            Fail(QStringLiteral("--out: the chart is written as .png, .pdf or .svg"));
            return 2;
        }
    }
    o.chart.YearlyMode = !IsTimeSeries(o.element);
    if (o.chart.YearlyMode) {
        o.chart.Annual = o.element - ElementDistributions;
        o.chart.ChartType = o.type.value_or(Chart3DBar);
        if (o.chart.ChartType == Chart2DXY) {
            Fail(QStringLiteral("--type 16 (2D X-Y) is for price, balance and value"));
            return 2;
        }
        if (o.chart.ChangesOnly || o.chart.PercentChange) {
            Fail(QStringLiteral("--changes-only and --percent-change are for price, balance and "
                                "value"));
            return 2;
        }
    } else {
        o.chart.Element = o.element - ElementSharePrice;
        if (o.type && *o.type != Chart2DXY) {
            Fail(QStringLiteral("price, balance and value are charted as 2D X-Y (type 16)"));
            return 2;
        }
        if (o.chart.Statistic != StatNone || o.chart.DataPoints == LabelsPercent ||
            o.chart.Scale == ScalePercentColumnMax || o.chart.Scale == ScalePercentColumnSum) {
            Fail(QStringLiteral("--statistic, --labels percent and the column scales are for "
                                "yearly charts"));
            return 2;
        }
    }
    return 0;
}

QString CsvText(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool WriteChartGrid(const ChartDocument& chart, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray text;
    text += "\"\"";
    for (int c = 1; c <= chart.columnCount(); ++c)
        text += ',' + CsvText(chart.columnLabel(c)).toLatin1();
    text += "\r\n";
    for (int r = 1; r <= chart.rowCount(); ++r) {
        text += CsvText(chart.rowLabel(r)).toLatin1();
        for (int c = 1; c <= chart.columnCount(); ++c) {
            text += ',';
            if (const auto v = chart.cell(r, c))
                text += PlainNumber(*v);
        }
        text += "\r\n";
    }
    file.write(text);
    return file.commit();
}

// The files to chart with their descriptions, portfolios opened up.
bool CollectFiles(CliContext& context, const QStringList& paths,
                  std::vector<std::pair<QString, QString>>& files)
{
    for (const QString& path : paths) {
        if (!path.endsWith(QLatin1String(".def"), Qt::CaseInsensitive)) {
            files.emplace_back(path, QFileInfo(path).completeBaseName());
            continue;
        }
        Portfolio portfolio(context.files);
        portfolio.CurrentPortfolio = path;
        if (!QFileInfo(path).isFile() || !portfolio.LoadPortfolio(context.settings.SortByDesc)) {
            Fail(QStringLiteral("cannot read portfolio \"%1\"").arg(path));
            return false;
        }
        for (std::size_t i = 1; i < portfolio.PortfolioFiles.size(); ++i) {
            if (portfolio.PortfolioFiles[i].isEmpty())
                break;
            files.emplace_back(portfolio.PortfolioFiles[i],
                               i < portfolio.PortfolioDescriptions.size()
                                   ? portfolio.PortfolioDescriptions[i]
                                   : QString());
        }
    }
    return true;
}

// The builder's screen without windows: the file being charted is listed
// into memory, the options are the command line's, and every further file
// is added to the chart.
class CliChartHost final : public IChartHost {
public:
    CliChartHost(CliContext& context, InvestmentFile& file, ReportState& report,
                 const ChartCommandOptions& options)
        : m_context(context), m_file(file), m_report(report), m_options(options)
    {
    }
    std::vector<ChartRow> gridRows() override { return m_rows; }
    void refreshListing() override
    {
        RowsOutput output;
        m_report.ListFromDate = 0;
        m_report.ListToDate = 99999999;
        m_report.ReportDestination = DestinationScreen;
        ListingContext listingContext{m_file,    m_report,         m_context.calendar,
                                      m_context.log, output,       nullptr,
                                      m_context.messages, m_prices, m_context.noCancel,
                                      m_context.ProgramTitle};
        TransactionListing listing(listingContext);
        listing.ListTrans(nullptr);
        m_rows = std::move(output.rows);
        m_rows.push_back(ChartRow{});  // the grid's empty row for new entries
    }
    bool chartVisible() override { return m_shown; }
    void closeChart() override { m_shown = false; }
    AddOrErase askAddOrErase(const QString&) override { return AddOrErase::Add; }
    bool chooseOptions(ChartOptions& options) override
    {
        options = m_options.chart;
        m_report.ListFromDate = m_options.from;
        m_report.ListToDate = m_options.to;
        return true;
    }
    void showChart(ChartDocument&, const ChartOptions&) override { m_shown = true; }
    void setBusy(bool) override {}

private:
    CliContext& m_context;
    InvestmentFile& m_file;
    ReportState& m_report;
    const ChartCommandOptions& m_options;
    LastPriceAnswers m_prices;
    std::vector<ChartRow> m_rows;
    bool m_shown = false;
};

int RunChart(const QStringList& args)
{
    ChartCommandOptions options;
    if (const int status = ParseChartOptions(args, options))
        return status;
    CliContext context;
    if (!options.today.isEmpty() && !ParseTodayOption(options.today, context))
        return 2;
    std::vector<std::pair<QString, QString>> files;
    if (!CollectFiles(context, options.paths, files))
        return 1;

    InvestmentFile file(context.files);
    file.setReadOnly(true);
    ReportState report;
    CliChartHost host(context, file, report, options);
    ChartBuilder builder(ChartBuilderContext{report, context.messages, host,
                                             [&file] { return file.CurrentFileDesc; },
                                             MakeCurrencyTag(context.calendar.locale),
                                             context.calendar.locale, {}});
    const ChartColours colours = ColoursFromSettings(
        context.settings.ChartBackDropColor, context.settings.PlotBackDropColor,
        context.settings.PlotWallColor, context.settings.PlotBaseColor);
    for (const auto& [path, description] : files) {
        if (!OpenInvestmentFile(file, path, description, context.messages, FileAccess::View))
            return 1;
        file.CurrentFile = path;
        file.CurrentFileDesc = description;
        host.refreshListing();  // what the grid shows before the command
        builder.mnuChartItem_Click();
        file.close();
    }
    if (host.chartVisible()) {
        builder.chart().Colours = colours;
    } else {
        Fail(QStringLiteral("nothing to chart"));
        return 1;
    }
    if (!options.data.isEmpty() && !WriteChartGrid(builder.chart(), options.data)) {
        Fail(QStringLiteral("cannot write \"%1\"").arg(options.data));
        return 1;
    }
    if (!options.out.isEmpty()) {
        QString error;
        if (!SaveChart(builder.chart(), options.out, options.size, &error)) {
            Fail(error);
            return 1;
        }
    }
    return 0;
}

}  // namespace

int RunChartMain(int argc, char* argv[])
{
    // Charts are drawn without a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The toolkit's own remarks about the missing screen are no news here.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            Fail(message);
    });
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    args.removeFirst();  // "chart"
    return RunChart(args);
}

}  // namespace brisden::cli
