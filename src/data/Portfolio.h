#pragma once
// Portfolios: a definition file (*.DEF) of quoted lines, the header
// "Portfolio definition file", then each investment file's path and its
// description, ANSI text with CR LF. In memory the current portfolio with its
// two parallel lists, 1-based (index 0 unused); an empty portfolio is one
// empty entry at index 1.

#include "ui/Interaction.h"

#include <QByteArray>
#include <QString>
#include <deque>
#include <vector>

namespace brisden {

class FileTable;
namespace ui {
class IMessageBox;
class IInputBox;
}  // namespace ui

class Portfolio {
public:
    // A portfolio shows at most this many files.
    static constexpr int MaxFiles = 99;
    // The longest description the program stores.
    static constexpr int MaxDescriptionLength = 100;

    explicit Portfolio(FileTable& files);

    FileTable& files() { return m_files; }

    QString CurrentPortfolio;
    std::vector<QString> PortfolioFiles;         // 1-based
    std::vector<QString> PortfolioDescriptions;  // 1-based, parallel to PortfolioFiles

    // False until the lists are read (and again after clear()).
    bool loaded() const { return m_loaded; }
    // Forgets the lists; they are read again when the portfolio window opens.
    void clear();

    // Reads CurrentPortfolio through slot 1 and sorts the lists (by
    // description when sortByDesc, else by path). False when the file could
    // not be opened (the lists are then the empty portfolio). A file listing
    // more than MaxFiles files loads the first MaxFiles; the others are kept
    // aside, written back by every SavePortfolio and reported by
    // overflowMessage().
    bool LoadPortfolio(bool sortByDesc);
    // Rewrites CurrentPortfolio: the header, then each non-empty path with
    // its description (and the files kept aside). False when it could not be
    // written.
    bool SavePortfolio();
    // Position (1 ...) of path in PortfolioFiles, -1 when absent, -3 when the
    // name is illegal.
    int FindPortfolioFile(const QString& path) const;

    // Makes path the current portfolio, creating it as an empty portfolio
    // when it cannot be opened; the lists are forgotten.
    void OpenPortfolio(const QString& path);

    // Number of files in the lists (0 for the empty portfolio).
    int count() const;
    bool isEmpty() const { return count() == 0; }
    // Files of the definition file beyond MaxFiles.
    int overflowCount() const { return int(m_overflowFiles.size()); }
    // Empty, or the message about the files beyond MaxFiles.
    QString overflowMessage() const;

    // How a text is stored as one quoted item (the format has no escape for
    // a quote: double quotes become single quotes). Paths go the same way: a
    // path with a double quote (only a hand-edited file has one) would
    // otherwise come back split in two and shift every pair after it.
    static QString StorableDescription(const QString& text);

private:
    FileTable& m_files;
    bool m_loaded = false;
    std::vector<QString> m_overflowFiles;
    std::vector<QString> m_overflowDescriptions;
};

// SortList modes 1 (by path) and 6 (by description) over the two parallel
// 1-based lists; letter case is ignored and equal items keep the order the
// gap sort leaves them in.
void SortPortfolioLists(std::vector<QString>& files, std::vector<QString>& descriptions, int mode);

// The items of a text in the style of quoted input: items separated by commas
// or line ends, a quoted item runs to its closing quote (or to the end of the
// line when there is none) and anything after it up to the next comma is
// ignored; an unquoted item is trimmed. Blank lines hold no item.
std::vector<QString> ReadQuotedItems(const QByteArray& text);
// One item as a portfolio file line keeps it: in double quotes, ANSI.
QByteArray QuotedItem(const QString& text);

}  // namespace brisden
