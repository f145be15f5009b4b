#pragma once
// What every command of brisden-cli shares: usage, one-line errors on stderr,
// the settings of the current directory, today's date and the screen answers.

#include <QString>
#include <QStringList>
#include <cstdio>

namespace brisden::cli {

void PrintUsage(std::FILE* out);
// Prints "brisden-cli: message" on stderr.
void Fail(const QString& message);

int RunList(const QStringList& args);
int RunBasis(const QStringList& args);
int RunImport(const QStringList& args);
int RunDump(const QStringList& args);
int RunRebuild(const QStringList& args);
// The chart command runs with a GUI application of its own (it draws).
int RunChartMain(int argc, char* argv[]);

}  // namespace brisden::cli

#include "data/Dates.h"
#include "report/PrintSurface.h"
#include "data/FileTable.h"
#include "shell/SessionLog.h"
#include "shell/Settings.h"
#include "ui/Interaction.h"

#include <array>
#include <cstdint>
#include <functional>

namespace brisden::cli {

// Messages of the engines go to stderr, one line each; questions are answered
// with their default (No for destructive ones).
class StderrMessages final : public ui::IMessageBox {
public:
    void show(const QString& text, ui::Icon icon) override;
    bool askYesNo(const QString& text, bool defaultNo) override;
    bool askOkCancel(const QString& text) override;
    void beep() override {}
};

// The state a command runs with: settings from Application.ini in the current
// directory (defaults when absent), today's date (system or --today), the file
// slots, and a session log that prints its lines on stderr instead of writing
// Application.log.
struct CliContext {
    CliContext();
    FileTable files;
    Calendar calendar;
    Settings settings;
    SessionLog log;
    StderrMessages messages;
    ui::NullCancelPoll noCancel;
    QString ProgramTitle;
};

// Option values. Each returns false (after printing the error) on a bad value.
bool ParseTodayOption(const QString& text, CliContext& context);                   // YYYYMMDD
bool ParseMdyOption(const QString& name, const QString& text, std::int32_t* mdy);  // MMDDYYYY
bool ParseNumberOption(const QString& name, const QString& text, double* value);
// Takes the value following args[i] (advancing i); false with a message when missing.
bool TakeValue(const QStringList& args, int& i, QString* value);

// What the report commands (list, basis) share: the file or portfolio, the
// date window, today and the report file.
struct ReportOptions {
    QString path;
    QString out;
    bool append = false;
    std::int32_t from = 0;
    std::int32_t to = 99999999;
    QString today;
    // The report as PDF instead of a report file: the pages the printer
    // would get.
    QString pdf;
    int orientation = 1;     // 1 portrait, 2 landscape
    QString font;            // empty: the Font setting
    double fontSize = 0;     // 0: the TextFontSize setting
    int linesPerPage = -1;   // -1: the report's lines-per-page setting
};

enum class OptionResult { Taken, NotMine, Bad };
// Takes args[i] when it is one of the shared options or the path.
OptionResult TakeReportOption(const QStringList& args, int& i, ReportOptions& options,
                              const QString& command);
// Reads every argument: the shared ones into options, the others through
// ownOption (which returns Bad, with its message printed, for a bad value and
// NotMine for an option it does not know). 0, or the exit status.
int ParseReportArguments(const QStringList& args, ReportOptions& options, const QString& command,
                         const std::function<OptionResult(const QStringList&, int&)>& ownOption);
// After parsing: the path and the report file are there and legal. 0, or the
// exit status with the message printed.
int CheckReportOptions(const ReportOptions& options, const QString& command,
                       const QString& pathNeeded);
// Opens the report file in slot 3 (appending or replacing); false with the
// message printed.
bool OpenReportFile(CliContext& context, const ReportOptions& options);
// The report font of a PDF: the options, else the Printer settings.
PrintFont ReportPrintFont(const CliContext& context, const ReportOptions& options);
// The current margins (thousandths of an inch) from the ListMargins setting.
std::array<int, 4> ListMarginsOf(const Settings& settings);
// Closes the report file, writing what is still buffered: 0, or 1 with the
// message printed when anything could not be written.
int CloseReportFile(CliContext& context, bool writerFailed, const QString& out);

}  // namespace brisden::cli
