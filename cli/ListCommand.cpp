// brisden-cli list: the transaction listing of one investment file or of every
// file of a portfolio, written to a report file as the text-file destination
// writes it.

#include "cli/CliCommon.h"

#include "analysis/Listing.h"
#include "analysis/RateFlows.h"
#include "data/InvestmentFile.h"
#include "data/NumberText.h"
#include "data/Portfolio.h"
#include "analysis/ListingPrinter.h"
#include "analysis/ListingTextFile.h"
#include "report/PageComposer.h"
#include "report/paint/PdfSurface.h"
#include "report/ReportFile.h"
#include "report/ReportState.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QHash>
#include <memory>
#include <optional>

namespace brisden::cli {

namespace {

// Answers the share-price question: the price given for the file being
// listed, else the default answer (its last known price).
class PriceAnswers final : public ui::IInputBox {
public:
    explicit PriceAnswers(const InvestmentFile& file) : m_file(file) {}

    std::optional<double> price;          // --price
    QHash<QString, double> pricesByFile;  // --price-for, keys lower-cased

    std::optional<QString> ask(const QString&, const QString&, const QString& defaultText) override
    {
        const auto found = pricesByFile.constFind(m_file.CurrentFile.trimmed().toLower());
        if (found != pricesByFile.constEnd())
            return QString::fromLatin1(PlainNumber(found.value()));
        if (price)
            return QString::fromLatin1(PlainNumber(*price));
        return defaultText;
    }

private:
    const InvestmentFile& m_file;
};

struct ListOptions : ReportOptions {
    std::optional<double> price;
    QList<QPair<QString, double>> pricesFor;
    QString flows;  // --flows: the rate of return's cash flows as CSV
};

// 0 when parsed, else the exit status.
int ParseListOptions(const QStringList& args, ListOptions& options)
{
    const QString command = QStringLiteral("list");
    const int status =
        ParseReportArguments(args, options, command, [&](const QStringList& all, int& i) {
            const QString arg = all[i];
            QString value;
            double price = 0;
            if (arg == QLatin1String("--price")) {
                if (!TakeValue(all, i, &value) || !ParseNumberOption(arg, value, &price))
                    return OptionResult::Bad;
                options.price = price;
                return OptionResult::Taken;
            }
            if (arg == QLatin1String("--price-for")) {
                if (!TakeValue(all, i, &value))
                    return OptionResult::Bad;
                const qsizetype eq = value.lastIndexOf(QLatin1Char('='));
                if (eq <= 0) {
                    Fail(QStringLiteral("--price-for needs FILE=PRICE, not \"%1\"").arg(value));
                    return OptionResult::Bad;
                }
                if (!ParseNumberOption(arg, value.mid(eq + 1), &price))
                    return OptionResult::Bad;
                options.pricesFor.append({value.left(eq), price});
                return OptionResult::Taken;
            }
            if (arg == QLatin1String("--flows")) {
                if (!TakeValue(all, i, &value))
                    return OptionResult::Bad;
                options.flows = value;
                return OptionResult::Taken;
            }
            return OptionResult::NotMine;
        });
    if (status != 0)
        return status;
    if (const int checked = CheckReportOptions(options, command,
                                               QStringLiteral("an investment file or a portfolio")))
        return checked;
    const QString flows = options.flows.trimmed();
    if (!options.flows.isNull() &&
        (flows.isEmpty() || flows.endsWith(QLatin1String(".DAT"), Qt::CaseInsensitive))) {
        Fail(QStringLiteral("Illegal pathname"));
        return 2;
    }
    return 0;
}

// The flows behind the rate of return, one a line; only a header when no
// rate was computed.
bool WriteRateFlows(const QString& path, const TransactionListing& listing)
{
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(RateFlowsCsv(ListRateFlows(listing.CashFlows, listing.RateTrail)));
        if (out.commit())
            return true;
    }
    Fail(QStringLiteral("cannot write \"%1\": %2").arg(path, out.errorString()));
    return false;
}

// The file must be an investment file this program can read.
bool CheckInvestmentFile(CliContext& context, const QString& path)
{
    InvestmentFile probe(context.files);
    const bool ok = OpenInvestmentFile(probe, path, QString(), context.messages, FileAccess::View);
    probe.close();
    return ok;
}

}  // namespace

int RunList(const QStringList& args)
{
    ListOptions options;
    if (const int status = ParseListOptions(args, options))
        return status;

    CliContext context;
    if (!options.today.isEmpty() && !ParseTodayOption(options.today, context))
        return 2;

    const bool portfolioRun = options.path.endsWith(QLatin1String(".def"), Qt::CaseInsensitive);
    if (portfolioRun && options.price) {
        Fail(QStringLiteral("--price is for a single file; use --price-for FILE=P"));
        return 2;
    }

    // Everything is checked before the report is touched.
    Portfolio portfolio(context.files);
    if (portfolioRun) {
        if (!QFileInfo(options.path).isFile()) {
            Fail(QStringLiteral("cannot open portfolio \"%1\"").arg(options.path));
            return 1;
        }
        portfolio.CurrentPortfolio = options.path;
        if (!portfolio.LoadPortfolio(context.settings.SortByDesc)) {
            Fail(QStringLiteral("cannot read portfolio \"%1\"").arg(options.path));
            return 1;
        }
        for (std::size_t i = 1; i < portfolio.PortfolioFiles.size(); ++i) {
            const QString& file = portfolio.PortfolioFiles[i];
            if (file.isEmpty())
                break;
            if (!CheckInvestmentFile(context, file))
                return 1;
        }
    } else if (!CheckInvestmentFile(context, options.path)) {
        return 1;
    }

    // A price for a file that is not listed is a mistake in the command.
    for (const auto& [name, price] : options.pricesFor) {
        const QString wanted = name.trimmed();
        bool listed = false;
        if (portfolioRun) {
            for (std::size_t i = 1; i < portfolio.PortfolioFiles.size() && !listed; ++i) {
                const QString entry = portfolio.PortfolioFiles[i].trimmed();
                listed = entry.compare(wanted, Qt::CaseInsensitive) == 0;
            }
        } else {
            listed = options.path.trimmed().compare(wanted, Qt::CaseInsensitive) == 0;
        }
        if (!listed) {
            Fail(QStringLiteral("--price-for: \"%1\" is not a file of this listing").arg(name));
            return 2;
        }
    }

    // Every file is only read: files the desktop program has open are listed too.
    InvestmentFile file(context.files);
    file.setReadOnly(true);
    PriceAnswers prices(file);
    prices.price = options.price;
    for (const auto& [name, price] : options.pricesFor)
        prices.pricesByFile.insert(name.trimmed().toLower(), price);

    ReportState report;
    report.ListFromDate = options.from;
    report.ListToDate = options.to;
    const bool pdf = !options.pdf.isEmpty();

    // The destination: the report file, or the printed pages in a PDF file.
    std::unique_ptr<ReportFileWriter> writer;
    std::unique_ptr<IListingOutput> output;
    std::unique_ptr<PageComposer> composer;
    std::unique_ptr<PdfSurface> pages;
    if (pdf) {
        report.ReportDestination = DestinationPrinter;
        report.ReportTitle = portfolioRun ? QStringLiteral("Portfolio: ") + options.path
                                          : options.path;
        pages = std::make_unique<PdfSurface>(options.pdf, options.orientation,
                                             ReportPrintFont(context, options),
                                             context.ProgramTitle);
        if (!pages->ok()) {
            Fail(QStringLiteral("cannot write \"%1\"").arg(options.pdf));
            return 1;
        }
        context.log.LogSession(QStringLiteral("Listing directed to ") + options.pdf);
        composer = std::make_unique<PageComposer>(report, context.ProgramTitle,
                                                  context.calendar.locale);
        composer->Margins = ListMarginsOf(context.settings);
        composer->PreparePrintSurface(pages->surface());
        composer->setSurface(&pages->surface());
        composer->ApplyScale();
        output = std::make_unique<ListingPrinter>(
            *composer, context.calendar,
            options.linesPerPage >= 0 ? options.linesPerPage : context.settings.TextListLines,
            context.settings.TextListTopMargin);
    } else {
        if (!OpenReportFile(context, options))
            return 1;
        context.log.LogSession(QStringLiteral("Listing directed to ") + options.out);
        report.ReportDestination = DestinationFile;
        writer = std::make_unique<ReportFileWriter>(context.files, ShortSlot);
        output = std::make_unique<ListingFileOutput>(*writer, context.calendar,
                                                     context.ProgramTitle);
    }
    ListingContext listingContext{
        file,    report,           context.calendar, context.log,      *output,
        nullptr, context.messages, prices,           context.noCancel, context.ProgramTitle};
    TransactionListing listing(listingContext);

    if (portfolioRun) {
        listing.ListTrans(&portfolio);
    } else {
        if (!file.open(options.path)) {
            Fail(QStringLiteral("cannot open \"%1\": %2")
                     .arg(options.path, ErrorText(-context.files.fileNumber(InvestmentSlot))));
            if (!pdf)
                context.files.CloseFile(ShortSlot);
            return 1;
        }
        file.CurrentFile = options.path;
        listing.ListTrans(nullptr);
    }
    file.close();
    if (pdf) {
        if (!pages->surface().EndDoc()) {
            Fail(QStringLiteral("writing \"%1\" failed").arg(options.pdf));
            return 1;
        }
    } else if (const int status = CloseReportFile(context, writer->failed(), options.out)) {
        return status;
    }
    context.log.LogSession(QStringLiteral("Listing created"));
    if (!options.flows.isNull() && !WriteRateFlows(options.flows, listing))
        return 1;
    return 0;
}

}  // namespace brisden::cli
