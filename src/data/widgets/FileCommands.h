#pragma once
// The commands of the File menu that choose and keep the files: open a
// portfolio, open an investment through the portfolio window, copy the
// current file to its backup, restore it, rebuild a file, and the automatic
// backup timer. The window reacts to its signals.

#include "ui/Interaction.h"
#include "ui/widgets/FileDialogs.h"
#include "ui/widgets/WidgetInteraction.h"

#include <QObject>
#include <memory>

class QPushButton;
class QTimer;
class QWidget;

namespace brisden {

namespace ui {
class CommandHost;
}

class Backup;
class DescriptionInputBox;
class FileDisplay;
class InvestmentFile;
class Portfolio;
class Settings;

struct FileCommandsContext {
    Portfolio& portfolio;
    InvestmentFile& file;
    Settings& settings;
    ui::ILogSink& log;
    ui::IMessageBox& messages;
};

class FileCommands final : public QObject {
    Q_OBJECT
public:
    // window: the parent of the dialogs.
    FileCommands(const FileCommandsContext& context, QWidget* window);
    ~FileCommands() override;

    // The File menu's file items; the two buttons beside them open a
    // portfolio and an investment.
    void installCommands(ui::CommandHost& host, QPushButton* openPortfolio,
                         QPushButton* openInvestment);

    // "Open a portfolio...": a portfolio file chosen (or made) becomes the
    // current portfolio; the current investment file is closed.
    void OpenPortfolio();
    // "Open an investment...": the portfolio window; a file opened there is
    // copied to its backup first when AlwaysCopyFile is set.
    void OpenInvestment();
    // "Copy current file to backup", "Restore backup file to current",
    // "Rebuild investment file...".
    void SaveData();
    void Restore();
    void Rebuild();

    // Stops the automatic backup, or (re)starts it with AutoSaveInterval
    // minutes while a file is current.
    void SetAutoSaveTimer(bool stop);
    bool autoSaveRunning() const;
    int autoSavePeriod() const { return m_autoSavePeriod; }

    Backup& backup() { return *m_backup; }
    // The portfolio window, made at its first use.
    FileDisplay* portfolioWindow();
    FileDisplay* portfolioWindowIfMade() const { return m_fileDisplay; }

    // What the tests replace.
    void setChoosePortfolio(ui::ChooseFile chooser) { m_choosePortfolio = std::move(chooser); }
    void setChooseRebuildFile(ui::ChooseFile chooser) { m_chooseRebuildFile = std::move(chooser); }
    // The description question of the portfolio window (null: the window's own).
    void setDescriptionInput(ui::IInputBox* input);

    // The current file is viewed read-only: a command that would write it
    // shows why it can't and logs that; true when it refused.
    bool refuseReadOnly(const QString& command);

signals:
    void portfolioOpened();
    void fileOpened();
    // The current file was restored from its backup or rebuilt (or either
    // was tried): what was done to it before is gone.
    void fileReplaced();

private:
    FileCommandsContext m;
    QWidget* m_window;
    std::unique_ptr<Backup> m_backup;
    std::unique_ptr<DescriptionInputBox> m_descriptionBox;
    ui::InputRouter m_descriptionInput;
    FileDisplay* m_fileDisplay = nullptr;
    QTimer* m_autoSaveTimer = nullptr;
    int m_autoSavePeriod = 0;
    ui::ChooseFile m_choosePortfolio;
    ui::ChooseFile m_chooseRebuildFile;
};

}  // namespace brisden
