// brisden-cli basis: the cost-basis worksheet of one investment file, written
// to a report file as the text-file destination writes it.

#include "cli/CliCommon.h"

#include "basis/BasisPrinter.h"
#include "basis/BasisTextFile.h"
#include "report/PageComposer.h"
#include "report/paint/PdfSurface.h"

#include <memory>
#include "basis/BasisWorksheet.h"
#include "data/InvestmentFile.h"
#include "report/ReportFile.h"
#include "report/ReportState.h"

namespace brisden::cli {

namespace {

struct BasisOptions : ReportOptions {
    int method = 0;
};

// 0 when parsed, else the exit status.
int ParseBasisOptions(const QStringList& args, BasisOptions& options)
{
    const QString command = QStringLiteral("basis");
    const int status =
        ParseReportArguments(args, options, command, [&](const QStringList& all, int& i) {
            if (all[i] != QLatin1String("--method"))
                return OptionResult::NotMine;
            QString value;
            if (!TakeValue(all, i, &value))
                return OptionResult::Bad;
            bool ok = false;
            options.method = value.toInt(&ok);
            if (!ok || options.method < 1 || options.method > 5) {
                Fail(QStringLiteral("--method needs a number from 1 to 5, not \"%1\"").arg(value));
                return OptionResult::Bad;
            }
            return OptionResult::Taken;
        });
    if (status != 0)
        return status;
    if (const int check =
            CheckReportOptions(options, command, QStringLiteral("an investment file")))
        return check;
    if (options.method == 0) {
        Fail(QStringLiteral("basis needs --method N (1 to 5)"));
        return 2;
    }
    return 0;
}

}  // namespace

int RunBasis(const QStringList& args)
{
    BasisOptions options;
    if (const int status = ParseBasisOptions(args, options))
        return status;

    CliContext context;
    if (!options.today.isEmpty() && !ParseTodayOption(options.today, context))
        return 2;

    // The file must be an investment file this program can read; it is only
    // read, so a file the desktop program has open can be worked on too.
    InvestmentFile file(context.files);
    if (!OpenInvestmentFile(file, options.path, QString(), context.messages, FileAccess::View))
        return 1;
    file.CurrentFile = options.path;

    ReportState report;
    report.ListFromDate = options.from;
    report.ListToDate = options.to == 0 ? 99999999 : options.to;
    const bool pdf = !options.pdf.isEmpty();

    std::unique_ptr<ReportFileWriter> writer;
    std::unique_ptr<IBasisOutput> output;
    std::unique_ptr<PageComposer> composer;
    std::unique_ptr<PdfSurface> pages;
    if (pdf) {
        report.ReportDestination = DestinationPrinter;
        report.ReportTitle = options.path;
        pages = std::make_unique<PdfSurface>(options.pdf, options.orientation,
                                             ReportPrintFont(context, options),
                                             context.ProgramTitle);
        if (!pages->ok()) {
            Fail(QStringLiteral("cannot write \"%1\"").arg(options.pdf));
            file.close();
            return 1;
        }
        context.log.LogSession(QStringLiteral("Basis worksheet directed to ") + options.pdf);
        composer = std::make_unique<PageComposer>(report, context.ProgramTitle,
                                                  context.calendar.locale);
        // The worksheet is laid out without margins of its own.
        composer->PreparePrintSurface(pages->surface());
        composer->setSurface(&pages->surface());
        composer->ApplyScale();
        output = std::make_unique<BasisPrinter>(
            *composer,
            options.linesPerPage >= 0 ? options.linesPerPage : context.settings.TextBasisLines,
            context.settings.TextBasisTopMargin);
    } else {
        if (!OpenReportFile(context, options)) {
            file.close();
            return 1;
        }
        context.log.LogSession(QStringLiteral("Basis worksheet directed to ") + options.out);
        report.ReportDestination = DestinationFile;
        writer = std::make_unique<ReportFileWriter>(context.files, ShortSlot);
        output = std::make_unique<BasisTextFileOutput>(*writer);
    }
    BasisWorksheet worksheet(BasisContext{file, report, context.calendar, context.log, *output,
                                          context.messages, context.noCancel,
                                          context.ProgramTitle});
    worksheet.Run(options.method);
    file.close();

    if (pdf) {
        if (!pages->surface().EndDoc()) {
            Fail(QStringLiteral("writing \"%1\" failed").arg(options.pdf));
            return 1;
        }
        return 0;
    }
    return CloseReportFile(context, writer->failed(), options.out);
}

}  // namespace brisden::cli
