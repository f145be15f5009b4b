#pragma once
// Shared by the window tests: a program started in a temporary folder with
// fake screen answers, and the portfolio window driven like a user would.

#include "data/widgets/FileCommands.h"
#include "data/widgets/FileDisplay.h"
#include "grid/widgets/LedgerCommands.h"
#include "grid/widgets/LedgerGrid.h"
#include "grid/widgets/LedgerModel.h"
#include "grid/widgets/SummaryPanel.h"
#include "shell/widgets/DateWatch.h"
#include "shell/widgets/MainWindow.h"
#include "shell/widgets/Startup.h"
#include "support/TestSupport.h"
#include "ui/Help.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

namespace brisden::test {

// A socket name of its own for every started program, so that tests never
// meet a running copy of the real program.
inline QString UniqueInstanceKey()
{
    static int counter = 0;
    return QStringLiteral("brisden-test-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

// Records what a window asks of the help.
class FakeHelp final : public ui::IHelp {
public:
    bool manualOpens = true;
    int manuals = 0;
    QList<int> topics;
    QList<std::pair<int, QPoint>> popups;
    bool ShowManual() override { return ++manuals, manualOpens; }
    void ShowHelpTopic(int id) override { topics << id; }
    void ShowHelpPopup(int id, QPoint at) override { popups.append({id, at}); }
};

inline void WriteText(const QString& path, const QString& text)
{
    WriteAll(path, text.toLatin1());
}

// The text of a log line after its time stamp.
inline QStringList LogMessages(const QString& path)
{
    QStringList messages;
    for (const QString& line : TextLines(path))
        messages << (line.size() > 10 && line[8] == QLatin1Char(':') ? line.mid(10) : line);
    return messages;
}

// A portfolio definition file of quoted items.
inline QString WritePortfolio(const QString& path,
                              const std::vector<std::pair<QString, QString>>& entries)
{
    QString text = QStringLiteral("\"Portfolio definition file\"\r\n");
    for (const auto& [file, description] : entries)
        text += QLatin1Char('"') + file + QStringLiteral("\"\r\n\"") + description +
                QStringLiteral("\"\r\n");
    WriteText(path, text);
    return path;
}

// The program started in a folder of its own: dir/run is the current
// directory (Application.ini, Application.log), dir/app the program folder.
struct StartedProgram {
    QTemporaryDir dir;
    FakeMessages messages;
    FakeInput input;
    FakeInput descriptions;
    std::unique_ptr<Startup> startup = std::make_unique<Startup>();
    MainWindow* window = nullptr;
    QString instanceKey = UniqueInstanceKey();  // empty: one copy per user, as a user starts it

    QString run() const { return dir.path() + QStringLiteral("/run"); }
    QString app() const { return dir.path() + QStringLiteral("/app"); }
    QString ini() const { return run() + QStringLiteral("/Application.ini"); }
    QString log() const { return run() + QStringLiteral("/Application.log"); }

    StartedProgram()
    {
        QDir().mkpath(run());
        QDir().mkpath(app());
    }

    // Starts with the given Application.ini text and runs the deferred start.
    bool start(const QString& iniText = QString(), const QString& commandLine = QString(),
               bool deferredStart = true)
    {
        if (!iniText.isEmpty())
            WriteText(ini(), iniText);
        StartOptions options;
        options.currentDir = run();
        options.appFolder = app();
        options.commandLine = commandLine;
        options.instanceKey = instanceKey;
        options.messages = &messages;
        if (startup->Main(options) != Startup::Outcome::Started)
            return false;
        window = startup->window();
        window->setMessageBox(&messages);
        window->setInputBox(&input);
        window->fileCommands().setDescriptionInput(&descriptions);
        window->setDisplayLog([] {});
        if (deferredStart)
            window->runDeferredStart();
        return true;
    }

    QString portfolioPath() const { return dir.path() + QStringLiteral("/Funds.def"); }

    // Starts with a default portfolio holding the one file dat, and further
    // settings lines of section General.
    bool startWithFile(const QString& dat, const QString& description,
                       const QString& moreGeneralSettings = QString())
    {
        const QString def =
            WritePortfolio(dir.path() + QStringLiteral("/Funds.def"), {{dat, description}});
        return start(QStringLiteral("[General]\r\nDefaultPortfolio=") + def +
                     QStringLiteral("\r\n") + moreGeneralSettings);
    }

    Program& program() { return *startup->program(); }
};

// Keyboard shortcuts reach the active window only. (The offscreen platform
// does not hand the activation back when a dialog closes.)
inline bool Activate(QWidget& window)
{
    QApplication::setActiveWindow(&window);
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Picks the file whose full path is path in the portfolio window, as a user
// would, while "&Open an investment..." runs.
inline bool OpenInvestment(MainWindow& window, const QString& path)
{
    bool found = false;
    QTimer::singleShot(0, &window, [&window, &path, &found] {
        FileDisplay* display = window.fileCommands().portfolioWindow();
        QListWidget* list = display->fileList();
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->toolTip() == path) {
                list->clearSelection();
                list->item(i)->setSelected(true);
                found = true;
                break;
            }
        }
        if (found)
            display->commandButton(FileDisplay::OpenCommand)->click();
        else
            display->commandButton(FileDisplay::CloseCommand)->click();
    });
    window.action("mnuOpenItem")->trigger();
    return found && window.program().file.CurrentFile == path;
}

// Starts with a default portfolio holding dat and opens dat through the portfolio window.
inline bool StartAndOpen(StartedProgram& p, const QString& dat, const QString& description,
                         const QString& moreGeneralSettings = QString())
{
    return p.startWithFile(dat, description, moreGeneralSettings) && OpenInvestment(*p.window, dat);
}

}  // namespace brisden::test
