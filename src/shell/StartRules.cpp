#include "shell/StartRules.h"

#include "data/FileTable.h"
#include "data/NumberText.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QFileInfo>
#include <QLocale>
#include <cmath>

namespace brisden {

int StartDelayMs(const QString& commandLine)
{
    const qsizetype at = commandLine.indexOf(QLatin1String("/W"), 0, Qt::CaseInsensitive);
    double delay = 0;
    if (at >= 0)
        delay = std::nearbyint(Val(commandLine.mid(at + 2)) * 100.0);
    if (!(delay > 0))
        return 100;
    if (delay >= 65535)
        return 65535;
    return int(delay);
}

QString MakeCurrencyTag(const QLocale& locale)
{
    const QString nine = locale.toCurrencyString(9.0, QString(), 0);
    QString collected;
    for (const QChar c : nine) {
        if (!c.isDigit())
            collected += c;
    }
    return collected.isEmpty() ? QString() : QLatin1Char('(') + collected + QLatin1Char(')');
}

QString ExampleFolder(const QString& appFolder)
{
    return appFolder + QStringLiteral("/Example");
}

QString SamplePortfolioPath(const QString& appFolder)
{
    return ExampleFolder(appFolder) + QStringLiteral("/SamplePortfolio.def");
}

QString FirstStartMarker(const QString& appFolder)
{
    return ExampleFolder(appFolder) + QStringLiteral("/.sample-portfolio-written");
}

QString ShippedExampleFolder(const QString& appFolder)
{
    const QString beside = ExampleFolder(appFolder);
    if (QFileInfo(beside).isDir())
        return beside;
    const QString installed =
        QDir::cleanPath(appFolder + QStringLiteral("/../share/brisden/Example"));
    return QFileInfo(installed).isDir() ? installed : QString();
}

QString PrepareExampleFolder(const QString& shipped, const QString& userDataFolder, QString* note)
{
    if (QFileInfo(shipped).isWritable())
        return shipped;
    const QString folder = userDataFolder + QStringLiteral("/Example");
    QDir().mkpath(folder);
    const QStringList ledgers =
        QDir(shipped).entryList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
    for (const QString& name : ledgers) {
        const QString copy = folder + QLatin1Char('/') + name;
        if (!QFileInfo::exists(copy) && QFile::copy(shipped + QLatin1Char('/') + name, copy))
            QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ReadGroup | QFileDevice::ReadOther);
    }
    if (note)
        *note = QStringLiteral("The sample portfolio is kept in ") + folder +
                QStringLiteral(", since ") + shipped + QStringLiteral(" cannot be written");
    return folder;
}

bool WriteSamplePortfolio(FileTable& files, const QString& folder)
{
    const QString path = folder + QStringLiteral("/SamplePortfolio.def");
    files.OpenFile(PortfolioSlot, path, QStringLiteral("I"), QStringLiteral("R"), 0);
    if (files.isOpen(PortfolioSlot)) {
        files.CloseFile(PortfolioSlot);
        return false;
    }
    files.CloseFile(PortfolioSlot);
    files.OpenFile(PortfolioSlot, path, QStringLiteral("O"), QStringLiteral("W"), 0);
    if (!files.isOpen(PortfolioSlot)) {
        files.CloseFile(PortfolioSlot);
        return false;
    }
    static const char* const entries[][2] = {
        {"/Dj_30.dat", "Dow Jones 30 Industrials"},
        {"/FictitiousMutualFund.dat", "Fictitious Mutual Fund"},
        {"/Mrld_m.dat", "Merrill Lynch Tot. Return Bond Idx - domestic master"},
        {"/Sp_500.dat", "Standard and Poors 500 Option Index"},
    };
    auto item = [&files](const QString& text) {
        files.writeLine(PortfolioSlot, '"' + text.toLatin1() + '"');
    };
    item(QStringLiteral("Portfolio definition file"));
    for (const auto& entry : entries) {
        item(QDir::toNativeSeparators(folder + QLatin1String(entry[0])));
        item(QLatin1String(entry[1]));
    }
    files.CloseFile(PortfolioSlot);
    return true;
}

}  // namespace brisden
