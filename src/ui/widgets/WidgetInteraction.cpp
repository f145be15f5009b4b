#include "ui/widgets/WidgetInteraction.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace brisden::ui {

namespace {

QMessageBox::Icon ToQt(Icon icon)
{
    switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Critical:
            return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void WidgetMessageBox::show(const QString& text, Icon icon)
{
    QMessageBox box(ToQt(icon), m_title, text, QMessageBox::Ok, m_parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool WidgetMessageBox::askYesNo(const QString& text, bool defaultNo)
{
    QMessageBox box(QMessageBox::Question, m_title, text, QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultNo ? QMessageBox::No : QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

bool WidgetMessageBox::askOkCancel(const QString& text)
{
    QMessageBox box(QMessageBox::Question, m_title, text, QMessageBox::Ok | QMessageBox::Cancel,
                    m_parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

void WidgetMessageBox::beep()
{
    QApplication::beep();
}

std::optional<QString> WidgetInputBox::ask(const QString& prompt, const QString& title,
                                           const QString& defaultText)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(m_parent, title.isEmpty() ? m_title : title,
                                                 prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

WidgetCancelPoll::WidgetCancelPoll(std::function<bool()> cancelFlag, int intervalMs)
    : m_flag(std::move(cancelFlag)), m_intervalMs(intervalMs)
{
    m_sinceEvents.start();
}

bool WidgetCancelPoll::pollCancel()
{
    if (m_sinceEvents.elapsed() >= m_intervalMs) {
        QCoreApplication::processEvents();
        m_sinceEvents.restart();
    }
    return m_flag && m_flag();
}

}  // namespace brisden::ui
