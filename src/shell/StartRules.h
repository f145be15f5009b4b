#pragma once
// The rules of a start that need no window: the start delay of the command
// line, the currency tag of the system, and the sample portfolio written on a
// first start.

#include <QString>

class QLocale;

namespace brisden {

class FileTable;

// The start delay of the command line in milliseconds: "/W" (any case,
// anywhere) followed by N tenths of a second; none or 0 gives 100 ms, and
// 65535 ms is the most.
int StartDelayMs(const QString& commandLine);

// "(" + the characters other than digits of 9 formatted as currency + ")",
// or "" when there are none.
QString MakeCurrencyTag(const QLocale& locale);

// The sample portfolio of a first start, in the folder "Example" of the
// program folder.
QString ExampleFolder(const QString& appFolder);
QString SamplePortfolioPath(const QString& appFolder);
// Writes SamplePortfolio.def into folder unless a file of that name can be
// read there. True when it was written.
bool WriteSamplePortfolio(FileTable& files, const QString& folder);
// A first start is one after which the marker file in the example folder
// does not yet exist; the marker is left by the first start, so the sample
// portfolio is written once per installation.
QString FirstStartMarker(const QString& appFolder);

// The sample ledgers as installed: "Example" beside the program, or the
// program's data folder (../share/brisden/Example) of an installed program;
// "" when there are none.
QString ShippedExampleFolder(const QString& appFolder);
// Where the sample portfolio of a first start goes: the shipped folder when
// it can be written, else "Example" in userDataFolder, where the sample
// ledgers are copied (those already there are kept). note tells where it went
// and why, for the log; it stays empty when the shipped folder is used.
QString PrepareExampleFolder(const QString& shipped, const QString& userDataFolder, QString* note);

}  // namespace brisden
