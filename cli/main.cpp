// brisden-cli: the listing, basis worksheet, import and file maintenance
// engines without windows, for scripting.

#include "cli/CliCommon.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <cstring>

using namespace brisden::cli;

int main(int argc, char* argv[])
{
    if (argc >= 2 && std::strcmp(argv[1], "chart") == 0)
        return RunChartMain(argc, argv);
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty() || args.first() == QLatin1String("--help") ||
        args.first() == QLatin1String("-h")) {
        PrintUsage(stdout);
        return args.isEmpty() ? 2 : 0;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("list"))
        return RunList(args);
    if (command == QLatin1String("basis"))
        return RunBasis(args);
    if (command == QLatin1String("import"))
        return RunImport(args);
    if (command == QLatin1String("dump"))
        return RunDump(args);
    if (command == QLatin1String("rebuild"))
        return RunRebuild(args);
    Fail(QStringLiteral("unknown command \"%1\" (try --help)").arg(command));
    return 2;
}
