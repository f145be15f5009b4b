// brisden-cli basis: the cost-basis worksheet of one investment file, written
// to a report file as the text-file destination writes it.

#include "cli/CliCommon.h"

#include "basis/BasisTextFile.h"
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

    if (!OpenReportFile(context, options)) {
        file.close();
        return 1;
    }
    context.log.LogSession(QStringLiteral("Basis worksheet directed to ") + options.out);

    ReportState report;
    report.ReportDestination = DestinationFile;
    report.ListFromDate = options.from;
    report.ListToDate = options.to == 0 ? 99999999 : options.to;
    ReportFileWriter writer(context.files, ShortSlot);
    BasisTextFileOutput output(writer);
    BasisWorksheet worksheet(BasisContext{file, report, context.calendar, context.log, output,
                                          context.messages, context.noCancel,
                                          context.ProgramTitle});
    worksheet.Run(options.method);
    file.close();

    return CloseReportFile(context, writer.failed(), options.out);
}

}  // namespace brisden::cli
