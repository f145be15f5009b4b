#pragma once
// The system's file dialogs as the commands use them.

#include <QString>
#include <functional>

class QWidget;

namespace brisden::ui {

// A chooser: the chosen path, or "" when the user cancelled.
using ChooseFile = std::function<QString(QWidget* parent, const QString& startPath)>;

// The open-file dialog starting at startPath. When mayCreate, a name that
// does not exist may be given; the user is asked before it is accepted.
QString ChooseExistingOrNew(QWidget* parent, const QString& title, const QString& filter,
                            const QString& suffix, const QString& startPath, bool mayCreate);

// "Select a portfolio file": an existing .DEF file or a new one.
QString ChoosePortfolioFile(QWidget* parent, const QString& startPath);
// "Select an investment file": an existing file.
QString ChooseInvestmentFile(QWidget* parent, const QString& startPath);

}  // namespace brisden::ui
