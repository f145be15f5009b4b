#include "data/widgets/FileDisplay.h"

#include "data/InvestmentFile.h"
#include "data/widgets/PathEllipsis.h"
#include "shell/Settings.h"

#include <QButtonGroup>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace brisden {

namespace {

// Rows show the shortened path in a column of this many characters.
constexpr int PathColumnCharacters = 40;
// Dropped files are taken up this long after the drop has completed.
constexpr int DropDelayMs = 100;

QString WindowCaption()
{
    return QStringLiteral("Select an investment file in this portfolio");
}

bool HasLocalFiles(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            return true;
    }
    return false;
}

}  // namespace

FileDisplay::FileDisplay(Portfolio& portfolio, InvestmentFile& file, Settings& settings,
                         ui::ILogSink& log, ui::IMessageBox& messages, ui::IInputBox& input,
                         QWidget* parent)
    : QDialog(parent),
      m_portfolio(portfolio),
      m_file(file),
      m_settings(settings),
      m_log(log),
      m_messages(messages),
      m_input(input),
      m_chooseFile(&FileDisplay::ChooseInvestmentFile)
{
    setWindowTitle(WindowCaption());
    setModal(true);
    setAcceptDrops(true);

    m_body = new QWidget(this);

    m_list = new QListWidget(m_body);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Long descriptions scroll rather than being cut.
    m_list->setTextElideMode(Qt::ElideNone);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_list->setAcceptDrops(false);  // drops are the window's
    const QFontMetrics listMetrics(m_list->font());
    const int charWidth = listMetrics.horizontalAdvance(QLatin1Char('x'));
    m_list->setMinimumSize(charWidth * 100, listMetrics.height() * 14);

    // The two sort options stand above the list's columns.
    m_sortOption[0] = new QRadioButton(QStringLiteral("File &Name"), m_body);
    m_sortOption[1] = new QRadioButton(QStringLiteral("&Description"), m_body);
    auto* sortGroup = new QButtonGroup(this);
    sortGroup->addButton(m_sortOption[0], 0);
    sortGroup->addButton(m_sortOption[1], 1);
    // The description column starts at the first tab stop after the path
    // column (tab stops every 80 pixels).
    const int pathColumn = charWidth * (PathColumnCharacters + 1);
    m_sortOption[0]->setFixedWidth(((pathColumn / 80) + 1) * 80);
    auto* options = new QHBoxLayout;
    options->setSpacing(0);
    options->addWidget(m_sortOption[0]);
    options->addWidget(m_sortOption[1]);
    options->addStretch();

    const QString captions[] = {
        QStringLiteral("&Open"),
        QStringLiteral("&Add a file to this portfolio"),
        QStringLiteral("&Remove from this portfolio"),
        QStringLiteral("&Close"),
        QStringLiteral("&Edit  description(s)"),
    };
    for (int i = 0; i < 5; ++i) {
        m_command[i] = new QPushButton(captions[i], m_body);
        m_command[i]->setAutoDefault(false);
    }
    m_command[OpenCommand]->setDefault(true);
    m_help = new QPushButton(QStringLiteral("&Help"), m_body);
    m_help->setAutoDefault(false);
    m_help->setEnabled(false);
    m_help->hide();

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_command[OpenCommand]);
    buttons->addSpacing(12);
    buttons->addWidget(m_command[AddCommand]);
    buttons->addWidget(m_command[RemoveCommand]);
    buttons->addWidget(m_command[EditCommand]);
    buttons->addStretch();
    buttons->addWidget(m_help);
    buttons->addWidget(m_command[CloseCommand]);

    auto* listSide = new QVBoxLayout;
    listSide->addLayout(options);
    listSide->addWidget(m_list, 1);

    auto* bodyLayout = new QHBoxLayout(m_body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->addLayout(listSide, 1);
    bodyLayout->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_body);

    connect(sortGroup, &QButtonGroup::idClicked, this, &FileDisplay::SortOptionClicked);
    connect(m_command[OpenCommand], &QPushButton::clicked, this, &FileDisplay::OpenClicked);
    connect(m_command[AddCommand], &QPushButton::clicked, this, &FileDisplay::AddClicked);
    connect(m_command[RemoveCommand], &QPushButton::clicked, this, &FileDisplay::RemoveClicked);
    connect(m_command[CloseCommand], &QPushButton::clicked, this, &FileDisplay::CloseClicked);
    connect(m_command[EditCommand], &QPushButton::clicked, this, &FileDisplay::EditClicked);
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem*) { OpenClicked(); });
}

QString FileDisplay::ChooseInvestmentFile(QWidget* parent, const QString& startPath)
{
    QFileDialog dialog(parent, QStringLiteral("Select an investment file"), startPath,
                       QStringLiteral("Investment Files (*.DAT *.dat)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);  // a new name may be given
    dialog.setDefaultSuffix(QStringLiteral("dat"));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : QDir::toNativeSeparators(chosen.first());
}

PortfolioCommandContext FileDisplay::context()
{
    return PortfolioCommandContext{m_messages, m_input, m_log, windowTitle(),
                                   m_settings.SortByDesc};
}

void FileDisplay::Reload()
{
    m_portfolio.LoadPortfolio(m_settings.SortByDesc);
    m_sortedByDesc = m_settings.SortByDesc;
}

void FileDisplay::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    m_outcome = QString::fromLatin1(OutcomeClosed);
    m_sortOption[m_settings.SortByDesc ? 1 : 0]->setChecked(true);
    // The lists are read when they were never loaded (a portfolio was just
    // opened), and again when the sort order was changed elsewhere.
    if (!m_portfolio.loaded() || m_sortedByDesc != m_settings.SortByDesc) {
        Reload();
        const QString overflow = m_portfolio.overflowMessage();
        if (!overflow.isEmpty())
            m_messages.show(overflow, ui::Icon::Exclamation);
    }
    FillList();
}

void FileDisplay::FillList()
{
    m_list->clear();
    const std::vector<QString>& files = m_portfolio.PortfolioFiles;
    const std::vector<QString>& descriptions = m_portfolio.PortfolioDescriptions;
    const bool empty = files.size() < 2 || files[1].isEmpty();
    m_command[OpenCommand]->setEnabled(!empty);
    m_command[RemoveCommand]->setEnabled(!empty);
    m_command[EditCommand]->setEnabled(!empty);
    if (empty)
        return;

    const QFontMetrics metrics(m_list->font());
    const int pathWidth =
        metrics.horizontalAdvance(QString(PathColumnCharacters, QLatin1Char('x')));
    for (size_t i = 1; i < files.size(); ++i) {
        if (files[i].isEmpty())
            continue;
        QString path = PathWithEllipses(metrics, files[i], pathWidth);
        if (path.size() < PathColumnCharacters)
            path = path.leftJustified(PathColumnCharacters, QLatin1Char(' '));
        else
            path = path.right(PathColumnCharacters);
        const QString description = i < descriptions.size() ? descriptions[i] : QString();
        const QString text = path + QLatin1Char('\t') + description;
        auto* item = new QListWidgetItem(text, m_list);
        item->setData(Qt::UserRole, int(i));
        item->setToolTip(files[i]);
        // The row is as wide as its text with the tab expanded, so that the
        // list scrolls sideways to the end of a long description.
        const QSize textSize = metrics.size(Qt::TextExpandTabs | Qt::TextSingleLine, text);
        item->setSizeHint(QSize(textSize.width() + 2 * metrics.averageCharWidth(),
                                std::max(textSize.height(), metrics.height()) + 4));
        if (!m_file.CurrentFile.isEmpty() &&
            files[i].trimmed().compare(m_file.CurrentFile.trimmed(), Qt::CaseInsensitive) == 0) {
            m_list->setCurrentItem(item);
        }
    }
    // The row that looks chosen is chosen: the current file's, else the first.
    if (!m_list->currentItem() || !m_list->currentItem()->isSelected())
        m_list->setCurrentRow(m_list->currentItem() ? m_list->currentRow() : 0,
                              QItemSelectionModel::ClearAndSelect);
}

std::vector<int> FileDisplay::selectedPositions() const
{
    std::vector<int> positions;
    for (int row = 0; row < m_list->count(); ++row) {
        const QListWidgetItem* item = m_list->item(row);
        if (item->isSelected())
            positions.push_back(item->data(Qt::UserRole).toInt());
    }
    return positions;
}

void FileDisplay::SortOptionClicked(int index)
{
    m_settings.SortByDesc = index == 1;
    Reload();
    FillList();
}

void FileDisplay::OpenClicked()
{
    const std::vector<int> positions = selectedPositions();
    if (positions.empty())
        return;
    const size_t p = size_t(positions.front());
    const QString path = m_portfolio.PortfolioFiles[p];
    const QString description = p < m_portfolio.PortfolioDescriptions.size()
                                    ? m_portfolio.PortfolioDescriptions[p]
                                    : QString();
    // A file that cannot be written opens read-only, for viewing.
    if (!OpenInvestmentFile(m_file, path, description, m_messages, FileAccess::ViewIfNeeded,
                            &m_log))
        return;  // the window stays open for another choice
    m_outcome = QString::fromLatin1(OutcomeOpened);
    done(QDialog::Accepted);
}

void FileDisplay::CloseClicked()
{
    // An attempt to open another file may have closed the current one.
    if (!m_file.CurrentFile.isEmpty() && !m_file.isOpen())
        m_file.open(m_file.CurrentFile);
    m_outcome = QString::fromLatin1(OutcomeClosed);
    QDialog::reject();
}

void FileDisplay::reject()
{
    CloseClicked();
}

void FileDisplay::AddClicked()
{
    const QString start = m_portfolio.CurrentPortfolio.isEmpty()
                              ? QString()
                              : QFileInfo(m_portfolio.CurrentPortfolio).absolutePath();
    const QString path = m_chooseFile ? m_chooseFile(this, start) : QString();
    if (path.isEmpty())
        return;
    m_pending.push_back(path);
    ProcessPendingAdditions();
}

void FileDisplay::RemoveClicked()
{
    const std::vector<int> positions = selectedPositions();
    if (positions.empty())
        return;
    RemoveFromPortfolio(m_portfolio, positions, m_file.CurrentFile, context());
    m_sortedByDesc = m_settings.SortByDesc;
    FillList();
}

void FileDisplay::EditClicked()
{
    const std::vector<int> positions = selectedPositions();
    if (positions.empty())
        return;
    EditDescriptions(m_portfolio, positions, context());
    FillList();
}

void FileDisplay::queueDroppedFiles(const QList<QUrl>& urls)
{
    bool queued = false;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        m_pending.push_back(QDir::toNativeSeparators(url.toLocalFile()));
        queued = true;
    }
    if (queued)
        QTimer::singleShot(DropDelayMs, this, &FileDisplay::ProcessPendingAdditions);
}

void FileDisplay::ProcessPendingAdditions()
{
    // A queue already being worked on takes up what was added meanwhile.
    if (m_processing || m_pending.empty())
        return;
    m_processing = true;
    setCursor(Qt::WaitCursor);
    m_body->setEnabled(false);
    brisden::ProcessPendingAdditions(m_portfolio, m_pending, context());
    m_sortedByDesc = m_settings.SortByDesc;
    m_body->setEnabled(true);
    unsetCursor();
    m_processing = false;
    FillList();
}

void FileDisplay::dragEnterEvent(QDragEnterEvent* event)
{
    if (!m_processing && HasLocalFiles(event->mimeData()) &&
        (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    event->ignore();
}

void FileDisplay::dragMoveEvent(QDragMoveEvent* event)
{
    if (!m_processing && HasLocalFiles(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    event->ignore();
}

void FileDisplay::dropEvent(QDropEvent* event)
{
    if (m_processing || !HasLocalFiles(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    queueDroppedFiles(event->mimeData()->urls());
}

}  // namespace brisden
