#include "cli/CliCommon.h"

#include "data/InvestmentFile.h"
#include "shell/Identity.h"

#include <QDir>
#include <cmath>
#include <QTextStream>

namespace brisden::cli {

void PrintUsage(std::FILE* out)
{
    std::fputs(
        "Usage: brisden-cli COMMAND ARGUMENTS\n"
        "\n"
        "Runs Brisden's engines without windows. Settings are read from Application.ini in\n"
        "the current directory (defaults when it is absent); messages that the program would\n"
        "log are printed on stderr. Investment files are only read, except by import and\n"
        "rebuild: list, basis and dump also read a file that the desktop program has open,\n"
        "while import and rebuild refuse such a file, say why, and change nothing.\n"
        "\n"
        "Commands:\n"
        "  list PATH [--from MMDDYYYY] [--to MMDDYYYY] [--today YYYYMMDD]\n"
        "            [--price P] [--price-for FILE=P]... (--out REPORT [--append] | --pdf FILE)\n"
        "            [--flows FLOWS.csv]\n"
        "      Lists an investment file (PATH.dat) or every file of a portfolio (PATH.def)\n"
        "      with balances, values, returns and the internal rate of return, and writes\n"
        "      the report as comma-separated records.\n"
        "        --from, --to   the listing window (absent: open)\n"
        "        --today        the date treated as today (default: the system date)\n"
        "        --price P      today's share price of the file (single-file listing)\n"
        "        --price-for FILE=P  today's share price of FILE as written in the\n"
        "                       portfolio (letter case ignored); may be repeated\n"
        "                       (absent: the file's last known price)\n"
        "        --out REPORT   the report file\n"
        "        --append       append to an existing report instead of replacing it\n"
        "        --flows FLOWS  also write the cash flows behind the internal rate of\n"
        "                       return as CSV: Date, Amount, Years (to the rate's end\n"
        "                       day), Kind (record, opening value, terminal value),\n"
        "                       File, Description; one flow a line, full precision\n"
        "        --pdf FILE     the printed pages (header, column heading, summary) as PDF\n"
        "                       instead of a report file, with:\n"
        "          --orientation portrait|landscape   80 or 132 columns (default portrait)\n"
        "          --font NAME, --font-size PT        default: the Font and TextFontSize\n"
        "                       settings; a font without fixed pitch gives the system's\n"
        "          --lines-per-page N                 0 fills each page (default: the\n"
        "                       TextListLines or TextBasisLines setting)\n"
        "\n"
        "  basis FILE.dat --method N [--from MMDDYYYY] [--to MMDDYYYY] [--today YYYYMMDD]\n"
        "            (--out REPORT [--append] | --pdf FILE [printing options as for list])\n"
        "      Writes the cost-basis worksheet. N: 1 Cost, FIFO; 2 Cost, Dynamic;\n"
        "      3 Average, Single Category; 4 Average, Double Category, FIFO;\n"
        "      5 Average, Double Category, Dynamic. The dates limit what is printed.\n"
        "\n"
        "  import FILE.dat SOURCE [--schema \"F1 F2 F3 F4 F5 ORDER\"] [--as-is]\n"
        "      Appends the transactions of a text or comma-separated SOURCE to FILE.dat\n"
        "      (created when missing). Fields: Date, Description, Amount, Price, Shares or\n"
        "      *Not_Used*; ORDER: MDY, YMD, DMY or UDF. Without --schema the ImportSchema\n"
        "      setting is used. Lines in error are reported and skipped; the exit status\n"
        "      is 0 unless the source or the file cannot be used.\n"
        "        --as-is  append the fields exactly as written, without filling in\n"
        "                 amounts, shares or descriptions (for complete ledgers, such\n"
        "                 as Brisden's own sample files)\n"
        "\n"
        "  dump FILE.dat\n"
        "      Prints one CSV line per record in use, in date order: record number,\n"
        "      TransDate, Seq, \"Desc\", Amount, SharePrice, Shares.\n"
        "\n"
        "  chart PATH... --element E [--type N] [--from MMDDYYYY] [--to MMDDYYYY]\n"
        "            [--changes-only] [--percent-change] [--statistic S] [--scale C]\n"
        "            [--labels values|percent] [--stack] [--markers] [--bw]\n"
        "            [--today YYYYMMDD] [--data FILE.csv] [--out CHART] [--size WxH]\n"
        "      Charts investment files (PATH.dat) or every file of a portfolio (PATH.def),\n"
        "      one series each, at most 8. E: price, balance or value (a time series\n"
        "      over fractional years, an X-Y chart) or distributions, bought or costs\n"
        "      (yearly totals). N: the type of a yearly chart: 0 3D Bar, 1 2D Bar,\n"
        "      2 3D Line, 3 2D Line, 4 3D Area, 5 2D Area, 6 3D Step, 7 2D Step,\n"
        "      8 3D Combination, 9 2D Combination, 14 2D Pie (default 0).\n"
        "        --statistic    none, min, max, mean, stddev or regression (yearly)\n"
        "        --scale        linear, log, chart-max, column-max, series-max,\n"
        "                       chart-sum, column-sum or series-sum\n"
        "        --data         the chart grid as CSV: row labels, series labels and\n"
        "                       every value in full precision, empty cells empty\n"
        "        --out          the chart drawn as .png, .pdf or .svg (default 1000x620)\n"
        "\n"
        "  rebuild FILE.dat\n"
        "      Drops the deleted records of FILE.dat, keeping the old file as its backup\n"
        "      (FILE.bak), and prints the counts of records read and written.\n"
        "\n"
        "Exit status: 0 on success, 1 when the command failed, 2 on a usage error.\n",
        out);
}

void Fail(const QString& message)
{
    QTextStream err(stderr);
    err << "brisden-cli: " << message << '\n';
}

void StderrMessages::show(const QString& text, ui::Icon)
{
    QTextStream err(stderr);
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    err << line << '\n';
}

bool StderrMessages::askYesNo(const QString& text, bool defaultNo)
{
    show(text, ui::Icon::Question);
    return !defaultNo;
}

bool StderrMessages::askOkCancel(const QString& text)
{
    show(text, ui::Icon::Question);
    return true;
}

CliContext::CliContext()
    : log(files, QString()), ProgramTitle(MakeProgramTitle(VersionMajor, VersionMinorNumber))
{
    settings.ReadAll(QDir::current().filePath(QStringLiteral("Application.ini")));
    calendar.SetToday();
    calendar.DetectDateOrder();
    log.setEcho([](const QString& line) {
        QTextStream err(stderr);
        err << line << '\n';
    });
}

bool ParseTodayOption(const QString& text, CliContext& context)
{
    bool ok = false;
    const int ymd = text.toInt(&ok);
    const std::int32_t mdy = ok ? SwapDateOrder(ymd) : 0;
    if (!ok || text.size() != 8 || !IsValidDate(mdy)) {
        Fail(QStringLiteral("--today needs a date as YYYYMMDD, not \"%1\"").arg(text));
        return false;
    }
    const QDate today(ymd / 10000, (ymd % 10000) / 100, ymd % 100);
    if (!today.isValid()) {
        Fail(QStringLiteral("--today: \"%1\" is not a calendar date").arg(text));
        return false;
    }
    context.calendar.SetToday(today);
    return true;
}

bool ParseMdyOption(const QString& name, const QString& text, std::int32_t* mdy)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || text.size() != 8 || value < 0) {
        Fail(QStringLiteral("%1 needs a date as MMDDYYYY, not \"%2\"").arg(name, text));
        return false;
    }
    *mdy = value;
    return true;
}

bool ParseNumberOption(const QString& name, const QString& text, double* value)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok) {
        Fail(QStringLiteral("%1 needs a number, not \"%2\"").arg(name, text));
        return false;
    }
    *value = v;
    return true;
}

bool TakeValue(const QStringList& args, int& i, QString* value)
{
    if (i + 1 >= args.size()) {
        Fail(QStringLiteral("%1 needs a value").arg(args[i]));
        return false;
    }
    *value = args[++i];
    return true;
}

OptionResult TakeReportOption(const QStringList& args, int& i, ReportOptions& options,
                              const QString& command)
{
    const QString& arg = args[i];
    QString value;
    if (arg == QLatin1String("--from") || arg == QLatin1String("--to")) {
        std::int32_t* target = arg == QLatin1String("--from") ? &options.from : &options.to;
        if (!TakeValue(args, i, &value) || !ParseMdyOption(arg, value, target))
            return OptionResult::Bad;
    } else if (arg == QLatin1String("--today")) {
        if (!TakeValue(args, i, &options.today))
            return OptionResult::Bad;
    } else if (arg == QLatin1String("--out")) {
        if (!TakeValue(args, i, &options.out))
            return OptionResult::Bad;
    } else if (arg == QLatin1String("--append")) {
        options.append = true;
    } else if (arg == QLatin1String("--pdf")) {
        if (!TakeValue(args, i, &options.pdf))
            return OptionResult::Bad;
    } else if (arg == QLatin1String("--orientation")) {
        if (!TakeValue(args, i, &value))
            return OptionResult::Bad;
        if (value == QLatin1String("portrait") || value == QLatin1String("1")) {
            options.orientation = 1;
        } else if (value == QLatin1String("landscape") || value == QLatin1String("2")) {
            options.orientation = 2;
        } else {
            Fail(QStringLiteral("--orientation needs portrait or landscape, not \"%1\"").arg(value));
            return OptionResult::Bad;
        }
    } else if (arg == QLatin1String("--font")) {
        if (!TakeValue(args, i, &options.font))
            return OptionResult::Bad;
    } else if (arg == QLatin1String("--font-size")) {
        if (!TakeValue(args, i, &value) || !ParseNumberOption(arg, value, &options.fontSize))
            return OptionResult::Bad;
        if (options.fontSize <= 0 || options.fontSize > 72) {
            Fail(QStringLiteral("--font-size needs points from 1 to 72, not \"%1\"").arg(value));
            return OptionResult::Bad;
        }
    } else if (arg == QLatin1String("--lines-per-page")) {
        bool ok = false;
        if (!TakeValue(args, i, &value))
            return OptionResult::Bad;
        options.linesPerPage = value.toInt(&ok);
        if (!ok || options.linesPerPage < 0) {
            Fail(QStringLiteral("--lines-per-page needs a count (0: fill each page), not \"%1\"")
                     .arg(value));
            return OptionResult::Bad;
        }
    } else if (arg.startsWith(QLatin1String("--"))) {
        return OptionResult::NotMine;
    } else if (options.path.isEmpty()) {
        options.path = arg;
    } else {
        Fail(QStringLiteral("%1: unexpected argument \"%2\"").arg(command, arg));
        return OptionResult::Bad;
    }
    return OptionResult::Taken;
}

int ParseReportArguments(const QStringList& args, ReportOptions& options, const QString& command,
                         const std::function<OptionResult(const QStringList&, int&)>& ownOption)
{
    for (int i = 0; i < args.size(); ++i) {
        OptionResult result = TakeReportOption(args, i, options, command);
        if (result == OptionResult::NotMine)
            result = ownOption(args, i);
        if (result == OptionResult::Bad)
            return 2;
        if (result == OptionResult::NotMine) {
            Fail(QStringLiteral("%1: unknown option \"%2\"").arg(command, args[i]));
            return 2;
        }
    }
    return 0;
}

int CheckReportOptions(const ReportOptions& options, const QString& command,
                       const QString& pathNeeded)
{
    if (options.path.isEmpty()) {
        Fail(QStringLiteral("%1 needs %2").arg(command, pathNeeded));
        return 2;
    }
    if (!options.pdf.isEmpty()) {
        if (!options.out.isEmpty() || options.append) {
            Fail(QStringLiteral("%1: --pdf writes the printed pages; leave out --out and --append")
                     .arg(command));
            return 2;
        }
        return 0;
    }
    if (options.out.trimmed().isEmpty()) {
        Fail(QStringLiteral("%1 needs --out REPORT or --pdf FILE").arg(command));
        return 2;
    }
    // A report must never land on an investment file.
    if (options.out.trimmed().endsWith(QLatin1String(".DAT"), Qt::CaseInsensitive)) {
        Fail(QStringLiteral("Illegal pathname"));
        return 2;
    }
    return 0;
}

PrintFont ReportPrintFont(const CliContext& context, const ReportOptions& options)
{
    PrintFont font;
    font.name = options.font.isEmpty() ? context.settings.Font : options.font;
    font.size = options.fontSize > 0 ? options.fontSize
                : context.settings.TextFontSize > 0 ? context.settings.TextFontSize
                                                    : 10;
    font.bold = context.settings.TextBold == QLatin1String("True");
    font.italic = context.settings.TextItalic == QLatin1String("True");
    return font;
}

std::array<int, 4> ListMarginsOf(const Settings& settings)
{
    std::array<int, 4> margins{0, 0, 0, 0};
    for (std::size_t i = 0; i < margins.size() && i < settings.ListMargins.size(); ++i)
        margins[i] = static_cast<int>(std::lround(settings.ListMargins[i]));
    return margins;
}

bool OpenReportFile(CliContext& context, const ReportOptions& options)
{
    if (options.append)
        context.files.OpenFile(ShortSlot, options.out, QStringLiteral("A"), QStringLiteral("RW"),
                               0);
    else
        context.files.OpenFile(ShortSlot, options.out, QStringLiteral("O"), QStringLiteral("W"), 0);
    if (context.files.isOpen(ShortSlot))
        return true;
    Fail(QStringLiteral("cannot write \"%1\": %2")
             .arg(options.out, ErrorText(-context.files.fileNumber(ShortSlot))));
    context.files.CloseFile(ShortSlot);
    return false;
}

int CloseReportFile(CliContext& context, bool writerFailed, const QString& out)
{
    const int errorBefore = context.files.lastError();
    context.files.CloseFile(ShortSlot);
    const int errorAfter = context.files.lastError();
    if (writerFailed || (errorAfter != 0 && errorAfter != errorBefore)) {
        Fail(QStringLiteral("writing \"%1\" failed").arg(out));
        return 1;
    }
    return 0;
}

}  // namespace brisden::cli
