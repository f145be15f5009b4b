// Brisden, the desktop program: one copy per user; its settings and session
// log are those of the directory it is started in.

#include "shell/widgets/Startup.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brisden"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(BRISDEN_VERSION_MAJOR).arg(BRISDEN_VERSION_MINOR));

    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty())
        arguments.removeFirst();
    brisden::StartOptions options;
    options.commandLine = arguments.join(QLatin1Char(' '));

    brisden::Startup startup;
    if (startup.Main(options) == brisden::Startup::Outcome::OtherCopyRaised)
        return 0;
    return QApplication::exec();
}
