#pragma once
// The Help menu's commands and the context help of the main window: the
// user manual (with the "Program Notice" when it cannot be opened), the
// about box, a topic by number, and the pop-up texts of "What's this?" and
// "Drag/drop help". Other windows are handed help() for their Help buttons.

#include "ui/Help.h"
#include "ui/Interaction.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace brisden::ui {
class CommandHost;
}
namespace brisden::grid {
class GridEditor;
}

namespace brisden::help {

class About;
class HelpCheck;
class HelpWindow;

class HelpCommands final : public QObject {
    Q_OBJECT
public:
    // owner: the main window (the notices and the about box stand over it).
    HelpCommands(QWidget* owner, const QString& collection, const QString& programTitle,
                 ui::IMessageBox& messages);
    ~HelpCommands() override;

    // The help every window asks: the manual's window, or what a test puts
    // in its place.
    ui::IHelp& help() { return *m_help; }
    void setHelp(ui::IHelp* help);
    HelpWindow* helpWindow() const { return m_window; }

    // The Help menu, and the help items of the grid's right-click menu, which
    // tell about the control and the point the editor opened the menu over.
    void installCommands(ui::CommandHost& host, const grid::GridEditor& editor);

    // "User Manual" (F1), and the start when ShowHelp is "True".
    void mnuUserManualItem_Click();
    // "About Brisden".
    void mnuAboutItem_Click();
    // "Data entry help": the grid's topic.
    void mnuRCHowToEdit_Click();
    // "What's this?": the pop-up of the control the right-click menu opened
    // over (its property "whatsThisId"; without one, its what's-this text),
    // at the point the menu opened.
    void mnuRCWhatsThis_Click(const QWidget* control, QPoint globalPos);
    // "Drag/drop help": always the same pop-up, whatever the control.
    void mnuRCDragDropHelp_Click(QPoint globalPos);

    // The program closes: the manual and its pop-up close with it.
    void closeWindows();

    // --- for the tests ---------------------------------------------------
    // Called with each dialog before it runs modally.
    void setBeforeDialog(std::function<void(QWidget*)> hook) { m_beforeDialog = std::move(hook); }
    // What the about box and the notice ask the system to open.
    void setOpenUrl(std::function<bool(const QUrl&)> open) { m_openUrl = std::move(open); }
    HelpCheck* helpCheck() const;
    About* about() const;

private:
    QWidget* m_owner;
    QString m_programTitle;
    ui::IMessageBox& m_messages;
    HelpWindow* m_window = nullptr;
    ui::IHelp* m_help = nullptr;
    QPointer<HelpCheck> m_check;
    QPointer<About> m_about;
    std::function<void(QWidget*)> m_beforeDialog;
    std::function<bool(const QUrl&)> m_openUrl;
};

// The folder where an installed manual is copied so that it can be searched.
QString HelpCacheFolder();

}  // namespace brisden::help
