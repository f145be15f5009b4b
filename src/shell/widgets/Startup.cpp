#include "shell/widgets/Startup.h"

#include "shell/StartRules.h"

#include "data/NumberText.h"
#include "help/HelpCollection.h"
#include "shell/Identity.h"
#include "ui/widgets/WidgetInteraction.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <cmath>

namespace brisden {

Startup::Startup() = default;

Startup::~Startup()
{
    // The window refers to the program state: it goes first.
    m_window.reset();
    m_program.reset();
}

Startup::Outcome Startup::Main(const StartOptions& options)
{
    const QString currentDir =
        QDir::cleanPath(options.currentDir.isEmpty() ? QDir::currentPath() : options.currentDir);
    const QString appFolder = QDir::cleanPath(
        options.appFolder.isEmpty() ? QCoreApplication::applicationDirPath() : options.appFolder);

    // 1. One copy per user: a later one brings the first to the front and
    // ends before touching the log.
    m_instance = std::make_unique<SingleInstance>(options.instanceKey);
    if (m_instance->askRunningInstanceToRaise())
        return Outcome::OtherCopyRaised;
    m_instance->listen();

    // 2 to 4. Identity and paths.
    m_program = std::make_unique<Program>(currentDir + QStringLiteral("/Application.log"));
    Program& p = *m_program;
    p.VersionMajor = VersionMajor;
    p.ProgramTitle = MakeProgramTitle(VersionMajor, VersionMinorNumber);
    p.AppFolder = appFolder;
    p.HelpFilePath = help::FindHelpCollection(appFolder);

    // 5. The log of this run, emptied.
    p.log.Start();

    // 6. Today.
    p.calendar.SetToday();

    // 7. First start: the sample portfolio, once per installation. An
    // installed program whose folder the user cannot write keeps it, with
    // copies of the sample ledgers, in the user's data folder instead.
    const QString shipped = ShippedExampleFolder(appFolder);
    if (!shipped.isEmpty()) {
        QString note;
        const QString folder = PrepareExampleFolder(
            shipped,
            options.userDataFolder.isEmpty()
                ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                : options.userDataFolder,
            &note);
        const QString marker = folder + QStringLiteral("/.sample-portfolio-written");
        if (!QFileInfo::exists(marker)) {
            WriteSamplePortfolio(p.files, folder);
            QFile file(marker);
            if (file.open(QIODevice::WriteOnly))
                file.write("The sample portfolio has been written.\n");
            if (!note.isEmpty())
                p.log.LogSession(note);
        }
    }

    // 8 and 9. Settings; the main window is made for them (its grid
    // columns depend on RTColPos and GridFixedColumns).
    p.IniPath = currentDir + QStringLiteral("/Application.ini");
    // A printer's pages stand upright unless the settings say otherwise.
    p.settings.ReadAll(p.IniPath, QPrinterInfo::defaultPrinterName(), 1);
    p.GridRowHeightAtStart = p.settings.GridRowHeight;
    m_window = std::make_unique<MainWindow>(p);

    // 10. The default portfolio must be readable; it is loaded later.
    p.portfolio.CurrentPortfolio = p.settings.DefaultPortfolio;
    if (!p.portfolio.CurrentPortfolio.isEmpty()) {
        p.files.OpenFile(PortfolioSlot, p.portfolio.CurrentPortfolio, QStringLiteral("I"),
                         QStringLiteral("R"), 0);
        if (p.files.fileNumber(PortfolioSlot) >= 1) {
            p.files.CloseFile(PortfolioSlot);
            p.portfolio.clear();
        } else {
            p.files.CloseFile(PortfolioSlot);
            const QString text = QStringLiteral("Can't access the default portfolio ") +
                                 p.portfolio.CurrentPortfolio;
            if (options.messages) {
                options.messages->show(text, ui::Icon::Exclamation);
            } else {
                ui::WidgetMessageBox box(nullptr, p.ProgramTitle);
                box.show(text, ui::Icon::Exclamation);
            }
            p.portfolio.CurrentPortfolio.clear();
        }
    }

    // 11 to 13. The system's date order and currency.
    p.calendar.DetectDateOrder();
    p.CurrencyTag = MakeCurrencyTag(p.calendar.locale);

    // 14. First activation pending; show the window.
    QObject::connect(m_instance.get(), &SingleInstance::raiseRequested, m_window.get(),
                     &MainWindow::bringToFront);
    m_window->setCommandLine(options.commandLine);
    m_window->Tag = QStringLiteral("1");
    if (options.show)
        m_window->show();
    return Outcome::Started;
}

}  // namespace brisden
