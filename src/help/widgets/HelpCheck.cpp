#include "help/widgets/HelpCheck.h"

#include "help/HelpCollection.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace brisden::help {

namespace {
// The Debian packages that read the manual: the Qt Help library and the
// SQLite driver its collections are kept in.
constexpr const char* kHelpPackages = "libqt6help6 libqt6sql6-sqlite";
}  // namespace

QString HelpCheckText(const QString& reason)
{
    const QString crlf2 = QStringLiteral("\r\n\r\n");
    return QStringLiteral(
               "Warning: the user manual could not be opened.  %1  Brisden reads its manual, the "
               "files '%2' and '%3', through the Qt Help components (packages %4).  If you click "
               "'Install', I will ask your system's package installer to install those packages.  "
               "If you click 'Cancel', you will be returned to the main screen.")
               .arg(reason, QLatin1String(kCollectionFileName),
                    QLatin1String(kDocumentationFileName), QLatin1String(kHelpPackages)) +
           crlf2 +
           QStringLiteral(
               "After installing the help components, you may have to close Brisden and start it "
               "again, to keep this message from reappearing.") +
           crlf2 +
           QStringLiteral(
               "You can also install them from a terminal with 'sudo apt install %1'.  If the "
               "files of the manual themselves are missing, reinstall Brisden (the package puts "
               "them in /usr/share/brisden), or build it again with qhelpgenerator installed "
               "(package qt6-documentation-tools).")
               .arg(QLatin1String(kHelpPackages));
}

QUrl HelpCheck::InstallUrl()
{
    return QUrl(QStringLiteral("apt:libqt6help6,libqt6sql6-sqlite"));
}

HelpCheck::HelpCheck(const QString& reason,
                     ui::IMessageBox& messages, QWidget* parent)
    : QDialog(parent), m_messages(messages), m_openUrl([](const QUrl& url) {
          return QDesktopServices::openUrl(url);
      })
{
    setObjectName(QStringLiteral("frmHelpCheck"));
    setWindowTitle(QStringLiteral("Program Notice"));
    setModal(true);
    m_label = new QLabel(HelpCheckText(reason), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setWordWrap(true);
    m_label->setTextFormat(Qt::PlainText);
    m_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_command1[0] = new QPushButton(QStringLiteral("Install Help Engine"), this);
    m_command1[1] = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int i = 0; i < 2; ++i) {
        m_command1[i]->setObjectName(QStringLiteral("Command1_%1").arg(i));
        m_command1[i]->setAutoDefault(false);
        connect(m_command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
        buttons->addWidget(m_command1[i]);
    }
    m_command1[1]->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addLayout(buttons);
    m_label->setMinimumWidth(520);
    // Escape and the close box answer like "Cancel".
    connect(this, &QDialog::rejected, this, [this] {
        if (Tag.isEmpty())
            Tag = QStringLiteral("1");
    });
}

void HelpCheck::Command1_Click(int index)
{
    if (index == 0 && !m_openUrl(InstallUrl()))
        m_messages.show(QStringLiteral("Error: the help components were *not* installed."),
                        ui::Icon::Exclamation);
    Tag = QString::number(index);
    hide();
    done(index == 0 ? QDialog::Accepted : QDialog::Rejected);
}

}  // namespace brisden::help
