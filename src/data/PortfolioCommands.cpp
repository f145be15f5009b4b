#include "data/PortfolioCommands.h"

#include "data/FileTable.h"

#include <QFile>
#include <QFileInfo>

namespace brisden {

namespace {

QString LineBreak()
{
    return QStringLiteral("\n");
}

}  // namespace

QString DescriptionPrompt(const QString& path)
{
    return QStringLiteral("Input the description (up to 100 characters) for: ") + LineBreak() +
           path;
}

namespace {

// The answer of the description input window: trimmed, at most 100
// characters, storable; empty when the user cancelled.
QString AskDescription(const PortfolioCommandContext& context, const QString& path,
                       const QString& defaultText)
{
    const std::optional<QString> answer =
        context.input.ask(DescriptionPrompt(path), context.title, defaultText);
    if (!answer)
        return QString();
    return Portfolio::StorableDescription(
        answer->trimmed().left(Portfolio::MaxDescriptionLength).trimmed());
}

// The end of a text file that does not end with a line break gets one, so
// that appended lines start on their own line.
void EndLastLine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return;
    file.seek(file.size() - 1);
    char last = 0;
    const bool read = file.getChar(&last);
    file.close();
    if (read && last != '\n' && file.open(QIODevice::Append))
        file.write("\r\n");
}

}  // namespace

int ProcessPendingAdditions(Portfolio& portfolio, std::deque<QString>& pending,
                            const PortfolioCommandContext& context)
{
    if (!portfolio.loaded())
        portfolio.LoadPortfolio(context.sortByDesc);
    FileTable& files = portfolio.files();
    int added = 0;
    while (!pending.empty()) {
        const QString path = pending.front();
        pending.pop_front();

        const int p = portfolio.FindPortfolioFile(path);
        if (p == -3) {
            context.messages.show(QStringLiteral("Illegal filename: ") + path,
                                  ui::Icon::Exclamation);
            continue;
        }
        if (p >= 1) {
            context.messages.show(path +
                                      QStringLiteral(" is already in the file selection list as") +
                                      LineBreak() + portfolio.PortfolioDescriptions[size_t(p)],
                                  ui::Icon::Information);
            continue;
        }
        if (portfolio.count() + portfolio.overflowCount() >= Portfolio::MaxFiles) {
            // A full portfolio takes no more files: one message, and the rest
            // of the queue is dropped as well.
            context.messages.show(
                QStringLiteral("The portfolio ") + portfolio.CurrentPortfolio +
                    QStringLiteral(" already holds ") + QString::number(Portfolio::MaxFiles) +
                    QStringLiteral(" files; ") + path + QStringLiteral(" was not added."),
                ui::Icon::Exclamation);
            pending.clear();
            break;
        }

        const QString description = AskDescription(context, path, QString());
        if (description.isEmpty()) {
            pending.clear();  // cancels this addition and every one still queued
            break;
        }
        if (!QFileInfo::exists(path)) {
            // A new investment file starts empty; its header comes with its
            // first transaction.
            files.OpenFile(ShortSlot, path, QStringLiteral("O"), QStringLiteral("W"), 0);
            files.CloseFile(ShortSlot);
        }
        EndLastLine(portfolio.CurrentPortfolio);
        files.OpenFile(PortfolioSlot, portfolio.CurrentPortfolio, QStringLiteral("A"),
                       QStringLiteral("RW"), 0);
        if (!files.isOpen(PortfolioSlot)) {
            const int error = -files.fileNumber(PortfolioSlot);
            files.CloseFile(PortfolioSlot);
            context.messages.show(QStringLiteral("Error: ") + ErrorText(error),
                                  ui::Icon::Exclamation);
            pending.clear();
            break;
        }
        files.writeLine(PortfolioSlot, QuotedItem(path));
        files.writeLine(PortfolioSlot, QuotedItem(description));
        files.CloseFile(PortfolioSlot);
        portfolio.LoadPortfolio(context.sortByDesc);
        context.log.LogSession(QStringLiteral("File ") + path +
                               QStringLiteral(" added to portfolio ") + portfolio.CurrentPortfolio);
        ++added;
    }
    return added;
}

int RemoveFromPortfolio(Portfolio& portfolio, const std::vector<int>& rows,
                        const QString& currentFile, const PortfolioCommandContext& context)
{
    int removed = 0;
    for (const int row : rows) {
        if (row < 1 || size_t(row) >= portfolio.PortfolioFiles.size())
            continue;
        const QString path = portfolio.PortfolioFiles[size_t(row)];
        if (path.isEmpty())
            continue;
        if (path.compare(currentFile, Qt::CaseInsensitive) == 0) {
            context.messages.show(QStringLiteral("File: ") + currentFile + LineBreak() +
                                      LineBreak() +
                                      QStringLiteral("Can't remove the current file from the "
                                                     "portfolio while it is open."),
                                  ui::Icon::Exclamation);
            continue;
        }
        // Only the entry goes; the investment file itself stays on the disk.
        portfolio.PortfolioFiles[size_t(row)].clear();
        context.log.LogSession(QStringLiteral("Removed ") + path +
                               QStringLiteral(" from portfolio ") + portfolio.CurrentPortfolio);
        ++removed;
    }
    portfolio.SavePortfolio();
    portfolio.LoadPortfolio(context.sortByDesc);
    return removed;
}

int EditDescriptions(Portfolio& portfolio, const std::vector<int>& rows,
                     const PortfolioCommandContext& context)
{
    int changed = 0;
    for (const int row : rows) {
        if (row < 1 || size_t(row) >= portfolio.PortfolioFiles.size() ||
            portfolio.PortfolioFiles[size_t(row)].isEmpty())
            continue;
        const QString description = AskDescription(context, portfolio.PortfolioFiles[size_t(row)],
                                                   portfolio.PortfolioDescriptions[size_t(row)]);
        if (description.isEmpty())
            continue;
        portfolio.PortfolioDescriptions[size_t(row)] = description;
        ++changed;
    }
    portfolio.SavePortfolio();
    return changed;
}

}  // namespace brisden
