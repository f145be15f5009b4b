#pragma once
// The portfolio window's commands on the portfolio file: adding the files
// queued by the user (with their descriptions), removing entries, and
// editing descriptions. Each saves the portfolio file and logs what it did.

#include "data/Portfolio.h"
#include "ui/Interaction.h"

#include <QString>
#include <deque>
#include <vector>

namespace brisden {

// What the portfolio window's commands need besides the portfolio.
struct PortfolioCommandContext {
    ui::IMessageBox& messages;
    ui::IInputBox& input;
    ui::ILogSink& log;
    QString title;    // caption of the description input window
    bool sortByDesc;  // SortByDesc, for the reloads
};

// The prompt of the description input window for path.
QString DescriptionPrompt(const QString& path);

// Adds the queued paths in order, taking each off the queue; an empty
// description cancels that addition and every one still queued. Returns the
// number of files added.
int ProcessPendingAdditions(Portfolio& portfolio, std::deque<QString>& pending,
                            const PortfolioCommandContext& context);
// Removes the entries at the given positions (refusing the current file),
// saves and reloads. Returns the number removed.
int RemoveFromPortfolio(Portfolio& portfolio, const std::vector<int>& rows,
                        const QString& currentFile, const PortfolioCommandContext& context);
// Asks for a new description of each entry; a non-empty answer replaces it.
// Saves. Returns the number changed.
int EditDescriptions(Portfolio& portfolio, const std::vector<int>& rows,
                     const PortfolioCommandContext& context);

}  // namespace brisden
