#pragma once
// The portfolio window: "Select an investment file in this portfolio". Lists
// the files of the current portfolio with their descriptions and opens the
// one the user picks; files are added (by the file dialog or by dropping them
// from the file manager), removed and described here.
//
// The main window shows it modally and keeps it: the dialog is hidden, not
// destroyed, when it closes. exec() returns Accepted when a file was opened;
// outcome() tells the same as the window's result code.

#include "data/Portfolio.h"
#include "data/PortfolioCommands.h"
#include "ui/Interaction.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QUrl>
#include <deque>
#include <functional>
#include <vector>

class QListWidget;
class QPushButton;
class QRadioButton;

namespace brisden {

class InvestmentFile;
class Settings;

class FileDisplay : public QDialog {
    Q_OBJECT

public:
    // Result codes of the window.
    static constexpr const char* OutcomeOpened = "1";
    static constexpr const char* OutcomeClosed = "2";

    // Asks the user for an investment file to add; "" when cancelled.
    using ChooseFile = std::function<QString(QWidget* parent, const QString& startPath)>;

    // input answers the description question (the description input window,
    // DescriptionInputBox, in the program).
    FileDisplay(Portfolio& portfolio, InvestmentFile& file, Settings& settings, ui::ILogSink& log,
                ui::IMessageBox& messages, ui::IInputBox& input, QWidget* parent = nullptr);

    // Replaces the file dialog of "&Add a file to this portfolio".
    void setChooseFile(ChooseFile chooser) { m_chooseFile = std::move(chooser); }
    // The system's dialog: "Select an investment file", *.DAT, a new name may
    // be given.
    static QString ChooseInvestmentFile(QWidget* parent, const QString& startPath);

    // "1" when a file was opened, "2" when the window closed without a choice.
    QString outcome() const { return m_outcome; }

    // Queues files to add and processes the queue 100 ms later (a drop from
    // the file manager).
    void queueDroppedFiles(const QList<QUrl>& urls);
    // Files still waiting to be added.
    const std::deque<QString>& pendingAdditions() const { return m_pending; }

    // Portfolio positions (1 ...) of the selected rows, in list order.
    std::vector<int> selectedPositions() const;

    QListWidget* fileList() const { return m_list; }
    QRadioButton* sortOption(int index) const { return m_sortOption[index]; }
    QPushButton* commandButton(int index) const { return m_command[index]; }
    QPushButton* helpButton() const { return m_help; }

    // Command indices of commandButton().
    enum Command {
        OpenCommand = 0,
        AddCommand = 1,
        RemoveCommand = 2,
        CloseCommand = 3,
        EditCommand = 4
    };

public slots:
    // Closing the window (Escape, the close box) is "&Close".
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FillList();
    void SortOptionClicked(int index);
    void OpenClicked();
    void AddClicked();
    void RemoveClicked();
    void CloseClicked();
    void EditClicked();
    void ProcessPendingAdditions();
    PortfolioCommandContext context();
    void Reload();

    Portfolio& m_portfolio;
    InvestmentFile& m_file;
    Settings& m_settings;
    ui::ILogSink& m_log;
    ui::IMessageBox& m_messages;
    ui::IInputBox& m_input;
    ChooseFile m_chooseFile;

    QWidget* m_body = nullptr;  // everything but the window frame
    QListWidget* m_list = nullptr;
    QRadioButton* m_sortOption[2] = {nullptr, nullptr};
    QPushButton* m_command[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
    QPushButton* m_help = nullptr;

    QString m_outcome = QString::fromLatin1(OutcomeClosed);
    std::deque<QString> m_pending;
    bool m_processing = false;
    // The order the lists were last loaded in by this window.
    bool m_sortedByDesc = false;
};

}  // namespace brisden
