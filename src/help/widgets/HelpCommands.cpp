#include "help/widgets/HelpCommands.h"

#include "grid/widgets/GridEditor.h"
#include "help/widgets/About.h"
#include "help/widgets/HelpCheck.h"
#include "help/widgets/HelpWindow.h"
#include "ui/widgets/CommandHost.h"

#include <QAction>
#include <QFrame>

#include <QStandardPaths>
#include <QWhatsThis>
#include <QWidget>

namespace brisden::help {

QString HelpCacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
           QStringLiteral("/help");
}

HelpCommands::HelpCommands(QWidget* owner, const QString& collection,
                           const QString& programTitle, ui::IMessageBox& messages)
    : QObject(owner), m_owner(owner), m_programTitle(programTitle), m_messages(messages)
{
    // The manual's window is a window of its own, closed with the program.
    m_window = new HelpWindow(collection, HelpCacheFolder());
    m_help = m_window;
}

HelpCommands::~HelpCommands()
{
    delete m_window;
}

void HelpCommands::setHelp(ui::IHelp* help)
{
    m_help = help ? help : m_window;
}

HelpCheck* HelpCommands::helpCheck() const
{
    return m_check.data();
}

About* HelpCommands::about() const
{
    return m_about.data();
}

void HelpCommands::closeWindows()
{
    if (QWidget* popup = m_window->popup())
        popup->close();
    m_window->close();
}

void HelpCommands::installCommands(ui::CommandHost& host, const grid::GridEditor& editor)
{
    // The manual and the about box open whatever the window is doing.
    connect(
        host.item("mnuUserManualItem", QStringLiteral("User &Manual"), QKeySequence(Qt::Key_F1)),
        &QAction::triggered, this, [this] { mnuUserManualItem_Click(); });
    host.place("mnuWhatsThisMode", QWhatsThis::createAction(m_owner));
    connect(host.item("mnuAboutItem", QStringLiteral("&About Brisden")), &QAction::triggered, this,
            [this] { mnuAboutItem_Click(); });
    host.command("mnuRCDragDropHelp", QStringLiteral("&Drag/drop help"),
                 [this, &editor] { mnuRCDragDropHelp_Click(editor.menuPos()); });
    host.command("mnuRCHowToEdit", QStringLiteral("Data entry &help"),
                 [this] { mnuRCHowToEdit_Click(); });
    host.command("mnuRCWhatsThis", QStringLiteral("&What's this?"),
                 [this, &editor] { mnuRCWhatsThis_Click(editor.menuControl(), editor.menuPos()); });
}

void HelpCommands::mnuUserManualItem_Click()
{
    if (m_help->ShowManual())
        return;
    if (!m_check) {
        const QString reason = m_help == m_window ? m_window->reason()
                                                  : QStringLiteral("The help could not be shown.");
        m_check = new HelpCheck(reason, m_messages, m_owner);
    }
    if (m_openUrl)
        m_check->setOpenUrl(m_openUrl);
    m_check->Tag.clear();
    if (m_beforeDialog)
        m_beforeDialog(m_check);
    m_check->exec();
}

void HelpCommands::mnuAboutItem_Click()
{
    if (!m_about)
        m_about = new About(m_programTitle, m_messages, m_owner);
    if (m_openUrl)
        m_about->setOpenUrl(m_openUrl);
    if (m_beforeDialog)
        m_beforeDialog(m_about);
    m_about->exec();
}

void HelpCommands::mnuRCHowToEdit_Click()
{
    m_help->ShowHelpTopic(ui::HelpDataEntry);
}

void HelpCommands::mnuRCWhatsThis_Click(const QWidget* control, QPoint globalPos)
{
    if (!control)
        return;
    const int id = control->property("whatsThisId").toInt();
    if (id > 0) {
        m_help->ShowHelpPopup(id, globalPos);
        return;
    }
    QString text = control->whatsThis();
    if (text.isEmpty())
        text = control->toolTip();
    if (!text.isEmpty())
        QWhatsThis::showText(globalPos, text);
}

void HelpCommands::mnuRCDragDropHelp_Click(QPoint globalPos)
{
    m_help->ShowHelpPopup(ui::HelpDragDrop, globalPos);
}

}  // namespace brisden::help
