#include "data/Portfolio.h"

#include "data/FileTable.h"
#include "data/GapSort.h"
#include "data/TextLines.h"
#include "ui/Interaction.h"

#include <QFile>
#include <QFileInfo>

namespace brisden {

namespace {

const QString HeaderText = QStringLiteral("Portfolio definition file");

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The items of one line (see ReadQuotedItems).
void AppendLineItems(const QByteArray& line, std::vector<QString>& items)
{
    const qsizetype n = line.size();
    qsizetype pos = 0;
    for (;;) {
        while (pos < n && IsBlank(line[pos]))
            ++pos;
        if (pos >= n)
            return;
        if (line[pos] == '"') {
            const qsizetype close = line.indexOf('"', pos + 1);
            if (close < 0) {
                // No closing quote: the item runs to the end of the line.
                items.push_back(QString::fromLatin1(line.mid(pos + 1)));
                return;
            }
            items.push_back(QString::fromLatin1(line.mid(pos + 1, close - pos - 1)));
            const qsizetype comma = line.indexOf(',', close + 1);
            if (comma < 0)
                return;
            pos = comma + 1;
        } else {
            qsizetype comma = line.indexOf(',', pos);
            const qsizetype end = comma < 0 ? n : comma;
            qsizetype last = end;
            while (last > pos && IsBlank(line[last - 1]))
                --last;
            items.push_back(QString::fromLatin1(line.mid(pos, last - pos)));
            if (comma < 0)
                return;
            pos = comma + 1;
        }
    }
}

// A name that can be kept as a quoted ANSI item: Latin-1 only, no quote, no
// line break.
bool StorableName(const QString& path)
{
    for (const QChar c : path) {
        if (c.unicode() > 0xFF || c == QLatin1Char('"') || c == QLatin1Char('\r') ||
            c == QLatin1Char('\n'))
            return false;
    }
    return true;
}

}  // namespace

QByteArray QuotedItem(const QString& text)
{
    return '"' + text.toLatin1() + '"';
}

std::vector<QString> ReadQuotedItems(const QByteArray& text)
{
    std::vector<QString> items;
    TextLines lines(text);
    QByteArrayView line;
    while (lines.next(line))
        AppendLineItems(line.toByteArray(), items);
    return items;
}

void SortPortfolioLists(std::vector<QString>& files, std::vector<QString>& descriptions, int mode)
{
    std::vector<QString>& keyList = mode == 6 ? descriptions : files;
    const qsizetype n = qsizetype(keyList.size()) - 1;
    if (n < 1 || descriptions.size() != files.size())
        return;
    // Keys compared lower-cased, so that letter case is ignored.
    std::vector<QString> keys(keyList.size());
    for (qsizetype i = 1; i <= n; ++i)
        keys[size_t(i)] = keyList[size_t(i)].toLower();
    GapSort(
        n,
        [&](std::int64_t i, std::int64_t j) {
            return keys[size_t(i)].compare(keys[size_t(j)]) > 0;
        },
        [&](std::int64_t i, std::int64_t j) {
            std::swap(keys[size_t(i)], keys[size_t(j)]);
            std::swap(files[size_t(i)], files[size_t(j)]);
            std::swap(descriptions[size_t(i)], descriptions[size_t(j)]);
        });
}

Portfolio::Portfolio(FileTable& files) : m_files(files)
{
    clear();
}

void Portfolio::clear()
{
    PortfolioFiles.assign(2, QString());
    PortfolioDescriptions.assign(2, QString());
    m_overflowFiles.clear();
    m_overflowDescriptions.clear();
    m_loaded = false;
}

int Portfolio::count() const
{
    int n = 0;
    for (size_t i = 1; i < PortfolioFiles.size(); ++i)
        n += PortfolioFiles[i].isEmpty() ? 0 : 1;
    return n;
}

QString Portfolio::overflowMessage() const
{
    if (m_overflowFiles.empty())
        return QString();
    return QStringLiteral("The portfolio ") + CurrentPortfolio + QStringLiteral(" lists ") +
           QString::number(MaxFiles + overflowCount()) + QStringLiteral(" files; only the first ") +
           QString::number(MaxFiles) +
           QStringLiteral(" are shown.  The others are kept in the portfolio file.");
}

QString Portfolio::StorableDescription(const QString& text)
{
    QString result = text;
    result.replace(QLatin1Char('"'), QLatin1Char('\''));
    result.replace(QLatin1Char('\r'), QLatin1Char(' '));
    result.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return result;
}

bool Portfolio::LoadPortfolio(bool sortByDesc)
{
    PortfolioFiles.assign(1, QString());
    PortfolioDescriptions.assign(1, QString());
    PortfolioFiles.reserve(MaxFiles + 1);
    PortfolioDescriptions.reserve(MaxFiles + 1);
    m_overflowFiles.clear();
    m_overflowDescriptions.clear();
    m_loaded = true;

    m_files.OpenFile(PortfolioSlot, CurrentPortfolio, QStringLiteral("I"), QStringLiteral("R"), 0);
    const bool opened = m_files.isOpen(PortfolioSlot);
    std::vector<QString> items;
    if (opened) {
        while (!m_files.atEnd(PortfolioSlot))
            AppendLineItems(m_files.readLine(PortfolioSlot), items);
    }
    m_files.CloseFile(PortfolioSlot);

    // The first item is the header, skipped without looking at it; then
    // path and description pairs. A path without its description (the file
    // ends early) gets an empty description. A pair without a path names no
    // file: it is passed over (an empty first entry is what marks the empty
    // portfolio, and a save would drop it anyway).
    for (size_t i = 1; i < items.size(); i += 2) {
        const QString& path = items[i];
        const QString description = i + 1 < items.size() ? items[i + 1] : QString();
        if (path.trimmed().isEmpty())
            continue;
        if (int(PortfolioFiles.size()) - 1 < MaxFiles) {
            PortfolioFiles.push_back(path);
            PortfolioDescriptions.push_back(description);
        } else {
            m_overflowFiles.push_back(path);
            m_overflowDescriptions.push_back(description);
        }
    }
    if (PortfolioFiles.size() > 1) {
        PortfolioFiles.shrink_to_fit();
        PortfolioDescriptions.shrink_to_fit();
        SortPortfolioLists(PortfolioFiles, PortfolioDescriptions, sortByDesc ? 6 : 1);
    } else {
        PortfolioFiles.assign(2, QString());
        PortfolioDescriptions.assign(2, QString());
    }
    return opened;
}

bool Portfolio::SavePortfolio()
{
    m_files.OpenFile(PortfolioSlot, CurrentPortfolio, QStringLiteral("O"), QStringLiteral("W"), 0);
    if (!m_files.isOpen(PortfolioSlot)) {
        m_files.CloseFile(PortfolioSlot);
        return false;
    }
    bool ok = m_files.writeLine(PortfolioSlot, QuotedItem(HeaderText));
    for (size_t i = 1; i < PortfolioFiles.size(); ++i) {
        if (PortfolioFiles[i].isEmpty())
            continue;
        const QString description =
            i < PortfolioDescriptions.size() ? PortfolioDescriptions[i] : QString();
        ok = m_files.writeLine(PortfolioSlot, QuotedItem(StorableDescription(PortfolioFiles[i]))) &&
             ok;
        ok = m_files.writeLine(PortfolioSlot, QuotedItem(StorableDescription(description))) && ok;
    }
    // Files beyond what the lists show are never dropped by a save.
    for (size_t i = 0; i < m_overflowFiles.size(); ++i) {
        ok =
            m_files.writeLine(PortfolioSlot, QuotedItem(StorableDescription(m_overflowFiles[i]))) &&
            ok;
        ok = m_files.writeLine(PortfolioSlot,
                               QuotedItem(StorableDescription(m_overflowDescriptions[i]))) &&
             ok;
    }
    ok = m_files.flush(PortfolioSlot) && ok;
    m_files.CloseFile(PortfolioSlot);
    return ok;
}

int Portfolio::FindPortfolioFile(const QString& path) const
{
    // The base name: no drive, no folders, no ".dat" extension (nor anything
    // after it), nothing from the first remaining dot, eight characters.
    QString name = path;
    name = name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
    name = name.mid(name.lastIndexOf(QLatin1Char('\\')) + 1);
#ifndef Q_OS_WIN
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
#endif
    const qsizetype extension = name.lastIndexOf(QLatin1String(".dat"), -1, Qt::CaseInsensitive);
    if (extension >= 0)
        name.truncate(extension);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    name = name.leftJustified(8, QLatin1Char(' '), true).toUpper();
    if (name == QString(8, QLatin1Char(' ')))
        return -3;
    // A path the definition file cannot hold (a quote, a line break, a
    // character outside ANSI) is an illegal name as well.
    if (!StorableName(path))
        return -3;

    if (PortfolioFiles.size() > 1 && !PortfolioFiles[1].isEmpty()) {
        const QString wanted = path.trimmed().toLower();
        for (size_t i = 1; i < PortfolioFiles.size(); ++i) {
            if (PortfolioFiles[i].trimmed().toLower() == wanted)
                return int(i);
        }
    }
    return -1;
}

void Portfolio::OpenPortfolio(const QString& path)
{
    CurrentPortfolio = path;
    m_files.OpenFile(PortfolioSlot, path, QStringLiteral("I"), QStringLiteral("R"), 0);
    if (!m_files.isOpen(PortfolioSlot)) {
        // A portfolio that cannot be opened becomes a new, empty one.
        m_files.OpenFile(PortfolioSlot, path, QStringLiteral("O"), QStringLiteral("W"), 0);
        if (m_files.isOpen(PortfolioSlot))
            m_files.writeLine(PortfolioSlot, QuotedItem(HeaderText));
    }
    m_files.CloseFile(PortfolioSlot);
    clear();
}

}  // namespace brisden
