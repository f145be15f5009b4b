#include "shell/widgets/LogViewer.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace brisden {

namespace {

// How often the open window looks for new lines.
constexpr int FollowIntervalMs = 500;

}  // namespace

LogViewer::LogViewer(const QString& path, const QString& programTitle, QWidget* owner)
    : QDialog(owner), m_path(path)
{
    setObjectName(QStringLiteral("LogViewer"));
    setWindowTitle(programTitle + QStringLiteral(" - Session log"));
    setModal(false);
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QFontMetrics metrics(m_text->font());
    m_text->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('x')) * 60,
                           metrics.lineSpacing() * 8);
    resize(metrics.horizontalAdvance(QLatin1Char('x')) * 100, metrics.lineSpacing() * 24);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    m_poll = new QTimer(this);
    m_poll->setInterval(FollowIntervalMs);
    connect(m_poll, &QTimer::timeout, this, &LogViewer::follow);
}

QString LogViewer::text() const
{
    return m_text->toPlainText();
}

void LogViewer::follow()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (m_offset == 0 && m_text->document()->isEmpty())
            m_text->setPlainText(QStringLiteral("The session log %1 cannot be read: %2")
                                     .arg(m_path, file.errorString()));
        return;
    }
    const qint64 size = file.size();
    if (size < m_offset) {
        // Emptied (a new session) or replaced: read it again from the start.
        m_text->clear();
        m_offset = 0;
    }
    if (size == m_offset)
        return;
    file.seek(m_offset);
    const QByteArray added = file.read(size - m_offset);
    // Only whole lines: a line being written is taken up next time.
    const qsizetype end = added.lastIndexOf('\n');
    if (end < 0)
        return;
    m_offset += end + 1;
    QString text = QString::fromLatin1(added.left(end));
    text.remove(QLatin1Char('\r'));
    QScrollBar* bar = m_text->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    m_text->appendPlainText(text);
    if (atEnd)
        bar->setValue(bar->maximum());
}

void LogViewer::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    follow();
    m_poll->start();
}

void LogViewer::hideEvent(QHideEvent* event)
{
    m_poll->stop();
    QDialog::hideEvent(event);
}

bool DesktopHasTextViewer()
{
    // xdg-mime names the program the desktop opens plain text with; without
    // it, or without an answer, there is none to rely on.
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return false;
    QProcess query;
    query.start(xdgMime,
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/plain")});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return false;
    }
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
}

LogDisplay::LogDisplay(const QString& path, const QString& programTitle, QWidget* owner)
    : QObject(owner),
      m_path(path),
      m_title(programTitle),
      m_owner(owner),
      m_desktopAvailable(&DesktopHasTextViewer),
      m_desktopOpen(
          [](const QString& file) { return QDesktopServices::openUrl(QUrl::fromLocalFile(file)); })
{
}

LogViewer* LogDisplay::viewer()
{
    if (!m_viewer)
        m_viewer = new LogViewer(m_path, m_title, m_owner);
    return m_viewer;
}

void LogDisplay::show()
{
    if (m_desktopAvailable && m_desktopAvailable() && m_desktopOpen && m_desktopOpen(m_path))
        return;
    LogViewer* window = viewer();
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace brisden
