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

struct BasisOptions {
    QString path;
    QString out;
    bool append = false;
    int method = 0;
    std::int32_t from = 0;
    std::int32_t to = 99999999;
    QString today;
};

// 0 when parsed, else the exit status.
int ParseBasisOptions(const QStringList& args, BasisOptions& options)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        QString value;
        if (arg == QLatin1String("--method")) {
            if (!TakeValue(args, i, &value))
                return 2;
            bool ok = false;
            options.method = value.toInt(&ok);
            if (!ok || options.method < 1 || options.method > 5) {
                Fail(QStringLiteral("--method needs a number from 1 to 5, not \"%1\"").arg(value));
                return 2;
            }
        } else if (arg == QLatin1String("--from") || arg == QLatin1String("--to")) {
            if (!TakeValue(args, i, &value)
                || !ParseMdyOption(arg, value, arg == QLatin1String("--from") ? &options.from
                                                                              : &options.to))
                return 2;
        } else if (arg == QLatin1String("--today")) {
            if (!TakeValue(args, i, &options.today))
                return 2;
        } else if (arg == QLatin1String("--out")) {
            if (!TakeValue(args, i, &options.out))
                return 2;
        } else if (arg == QLatin1String("--append")) {
            options.append = true;
        } else if (arg.startsWith(QLatin1String("--"))) {
            Fail(QStringLiteral("basis: unknown option \"%1\"").arg(arg));
            return 2;
        } else if (options.path.isEmpty()) {
            options.path = arg;
        } else {
            Fail(QStringLiteral("basis: unexpected argument \"%1\"").arg(arg));
            return 2;
        }
    }
    if (options.path.isEmpty()) {
        Fail(QStringLiteral("basis needs an investment file"));
        return 2;
    }
    if (options.method == 0) {
        Fail(QStringLiteral("basis needs --method N (1 to 5)"));
        return 2;
    }
    if (options.out.trimmed().isEmpty()) {
        Fail(QStringLiteral("basis needs --out REPORT"));
        return 2;
    }
    if (options.out.trimmed().endsWith(QLatin1String(".DAT"), Qt::CaseInsensitive)) {
        Fail(QStringLiteral("Illegal pathname"));
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

    // The file must be an investment file this program can read.
    InvestmentFile file(context.files);
    if (!OpenInvestmentFile(file, options.path, QString(), context.messages))
        return 1;
    file.CurrentFile = options.path;

    if (options.append)
        context.files.OpenFile(ShortSlot, options.out, QStringLiteral("A"), QStringLiteral("RW"), 0);
    else
        context.files.OpenFile(ShortSlot, options.out, QStringLiteral("O"), QStringLiteral("W"), 0);
    if (!context.files.isOpen(ShortSlot)) {
        Fail(QStringLiteral("cannot write \"%1\": %2")
                 .arg(options.out, ErrorText(-context.files.fileNumber(ShortSlot))));
        context.files.CloseFile(ShortSlot);
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

    const int errorBefore = context.files.lastError();
    context.files.CloseFile(ShortSlot);
    const int errorAfter = context.files.lastError();
    if (writer.failed() || (errorAfter != 0 && errorAfter != errorBefore)) {
        Fail(QStringLiteral("writing \"%1\" failed").arg(options.out));
        return 1;
    }
    return 0;
}

}  // namespace brisden::cli
