#include "shell/widgets/NoticesWindow.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace brisden {

NoticesWindow::NoticesWindow(const QString& programTitle, QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("ProgramNotices"));
    setWindowTitle(programTitle + QStringLiteral(" - Program notices"));
    setModal(false);
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setMinimumSize(420, 110);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_displayLogButton = new QPushButton(QStringLiteral("Display Log"), this);
    m_displayLogButton->setToolTip(
        QStringLiteral("You can also display the log from the 'File' option on the main menu."));
    m_ok->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_displayLogButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);

    // The close box acts like "OK": a dialog's close only hides it.
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_displayLogButton, &QPushButton::clicked, this, [this] {
        if (m_displayLog)
            m_displayLog();
    });
}

QString NoticesWindow::text() const
{
    return m_text->toPlainText();
}

void NoticesWindow::showNotice(const QString& message, bool wait, bool showButtons)
{
    if (!isVisible())
        m_text->setPlainText(message);
    else
        m_text->appendPlainText(message);
    const bool buttons = wait || showButtons;
    m_ok->setVisible(buttons);
    m_displayLogButton->setVisible(buttons);
    if (wait) {
        // A window that already shows becomes modal only when shown anew.
        if (isVisible())
            hide();
        exec();
    } else {
        show();
        raise();
        QCoreApplication::processEvents();
    }
}

}  // namespace brisden
