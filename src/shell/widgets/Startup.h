#pragma once
// The start of the desktop program (Main): one copy per user, the paths of
// the current directory and the program folder, the session log, the
// settings, the sample portfolio of a first start, the default portfolio
// check, the system's conventions, and the main window.

#include "shell/StartRules.h"
#include "shell/widgets/MainWindow.h"
#include "shell/widgets/Program.h"
#include "shell/widgets/SingleInstance.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <memory>

namespace brisden {

struct StartOptions {
    QString currentDir;      // empty: the process's current directory
    QString appFolder;       // empty: the folder of the program file
    QString commandLine;     // the arguments after the program name, joined by blanks
    QString instanceKey;     // empty: one copy per user
    QString userDataFolder;  // empty: the user's data folder of the system
    // Messages before the main window can answer them (the default portfolio
    // check); null: a message box.
    ui::IMessageBox* messages = nullptr;
    bool show = true;  // show the main window at the end
};

class Startup {
public:
    enum class Outcome { Started, OtherCopyRaised };

    Startup();
    ~Startup();

    Outcome Main(const StartOptions& options);

    Program* program() const { return m_program.get(); }
    MainWindow* window() const { return m_window.get(); }

private:
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<Program> m_program;
    std::unique_ptr<MainWindow> m_window;
};

}  // namespace brisden
