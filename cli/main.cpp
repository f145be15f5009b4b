// brisden-cli: the listing, basis worksheet, import and file maintenance
// engines without windows, for scripting.

#include "cli/CliCommon.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <memory>

using namespace brisden::cli;

int main(int argc, char* argv[])
{
    if (argc >= 2 && std::strcmp(argv[1], "chart") == 0)
        return RunChartMain(argc, argv);
    // Printed pages (--pdf) need fonts, hence a GUI application; without a
    // window it runs on the offscreen platform.
    bool printing = false;
    for (int i = 1; i < argc; ++i)
        printing = printing || std::strcmp(argv[i], "--pdf") == 0;
    std::unique_ptr<QCoreApplication> app;
    if (printing) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
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
