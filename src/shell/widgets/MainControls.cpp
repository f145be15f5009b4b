#include "shell/widgets/MainControls.h"

#include "grid/widgets/GridEditor.h"
#include "grid/widgets/LedgerGrid.h"
#include "grid/widgets/LedgerModel.h"
#include "grid/widgets/SummaryPanel.h"
#include "ui/Help.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QVBoxLayout>

namespace brisden {

MainControls BuildMainControls(QMainWindow& window, const Calendar& calendar)
{
    MainControls c;
    auto* central = new QWidget(&window);
    window.setCentralWidget(central);

    // The grid.
    c.model = new grid::LedgerModel(calendar, &window);
    c.grid = new grid::LedgerGrid(c.model, central);
    c.grid->setObjectName(QStringLiteral("MSFlexGrid1"));
    c.grid->setMinimumSize(300, 110);

    // Command7: portfolio, investment file, listing.
    const char* captions7[3] = {"Open &Port.", "&Open Invest.", "&List"};
    const char* tips7[3] = {"Open a portfolio file", "Open an investment file",
                            "List to printer or file"};
    for (int i = 0; i < 3; ++i) {
        c.command7[i] = new QPushButton(QString::fromLatin1(captions7[i]), central);
        c.command7[i]->setObjectName(QStringLiteral("Command7_%1").arg(i));
        c.command7[i]->setToolTip(QString::fromLatin1(tips7[i]));
    }

    // Portfolio, file and date.
    auto* info = new QGridLayout;
    auto addInfo = [&](int row, const QString& caption, QLabel*& value, const char* name) {
        auto* label = new QLabel(caption, central);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value = new QLabel(central);
        value->setObjectName(QLatin1String(name));
        value->setTextFormat(Qt::PlainText);
        value->setMinimumWidth(240);
        info->addWidget(label, row, 0);
        info->addWidget(value, row, 1);
    };
    addInfo(0, QStringLiteral("Portfolio:"), c.portfolioValue, "PortfolioPath");
    addInfo(1, QStringLiteral("File:"), c.fileValue, "FileDescription");
    addInfo(2, QStringLiteral("Date:"), c.dateValue, "TodayText");
    info->setColumnStretch(1, 1);

    auto* top = new QHBoxLayout;
    for (QPushButton* b : c.command7)
        top->addWidget(b, 0, Qt::AlignTop);
    top->addSpacing(16);
    top->addLayout(info, 1);

    // Frame2: the grid control buttons.
    c.frame2 = new QGroupBox(QStringLiteral("Grid controls:"), central);
    c.frame2->setObjectName(QStringLiteral("Frame2"));
    const char* captions1[4] = {"&Edit Cell", "&Clear Cell(s)", "&Delete Row(s)",
                                "&Refresh/Recalc"};
    auto* frame2Layout = new QVBoxLayout(c.frame2);
    for (int i = 0; i < 4; ++i) {
        c.command1[i] = new QPushButton(QString::fromLatin1(captions1[i]), c.frame2);
        c.command1[i]->setObjectName(QStringLiteral("Command1_%1").arg(i));
        // A little room around the caption.
        c.command1[i]->setMinimumWidth(c.command1[i]->sizeHint().width() + 12);
        frame2Layout->addWidget(c.command1[i]);
    }
    c.frame2->setWhatsThis(QStringLiteral(
        "Edit the current cell, clear the selected cells, delete the selected rows, or list the "
        "ledger again with its balances and returns recomputed."));
    c.frame2->setProperty("whatsThisId", ui::HelpWhatsThisGridControls);
    c.frame2->setContextMenuPolicy(Qt::CustomContextMenu);
    frame2Layout->addStretch();

    // The grid with the grid controls, in an area of its own whose sides
    // take the record types legend: the legend stands beside the grid and
    // never over it or the summary.
    c.gridArea = new QMainWindow(central);
    c.gridArea->setObjectName(QStringLiteral("GridArea"));
    c.gridArea->setWindowFlags(Qt::Widget);
    c.gridArea->setDockOptions(QMainWindow::AnimatedDocks);
    auto* gridBox = new QWidget(c.gridArea);
    auto* middle = new QHBoxLayout(gridBox);
    middle->setContentsMargins(0, 0, 0, 0);
    middle->addWidget(c.grid, 1);
    middle->addWidget(c.frame2);
    c.gridArea->setCentralWidget(gridBox);

    // Frame3: the summary of the listing and the share price box.
    c.summary = new grid::SummaryPanel(central);
    if (auto* prompt = c.summary->findChild<QLabel*>(QStringLiteral("SharePricePrompt"))) {
        prompt->setProperty("whatsThisId", ui::HelpWhatsThisSharePrice);
        prompt->setContextMenuPolicy(Qt::CustomContextMenu);
    }

    auto* layout = new QVBoxLayout(central);
    layout->addLayout(top);
    layout->addWidget(c.gridArea, 1);
    layout->addWidget(c.summary);

    c.grid->setWhatsThis(QStringLiteral(
        "The ledger of the current investment file, one transaction a row.  Type into a cell, "
        "double-click it or press Ctrl+E to edit it; every entry is written to the file at once.  "
        "\"R T\" shows each row's record type; balances, value and returns follow after a "
        "refresh (F5)."));
    c.grid->setProperty("whatsThisId", ui::HelpWhatsThisGrid);
    return c;
}

void RouteRightClicks(const MainControls& controls, grid::GridEditor& editor)
{
    grid::GridEditor* ed = &editor;
    QGroupBox* frame2 = controls.frame2;
    QObject::connect(frame2, &QWidget::customContextMenuRequested, ed,
                     [ed, frame2](const QPoint& pos) {
                         ed->rightClickElsewhere(frame2, frame2->mapToGlobal(pos));
                     });
    if (auto* prompt = controls.summary->findChild<QLabel*>(QStringLiteral("SharePricePrompt")))
        QObject::connect(prompt, &QWidget::customContextMenuRequested, ed,
                         [ed, prompt](const QPoint& pos) {
                             ed->rightClickElsewhere(prompt, prompt->mapToGlobal(pos));
                         });
    grid::LedgerGrid* g = controls.grid;
    QObject::connect(g, &QWidget::customContextMenuRequested, ed, [ed, g](const QPoint& pos) {
        if (g->isEnabled())
            ed->rightClickGrid(pos);
    });
}

}  // namespace brisden
