#include "help/widgets/HelpWindow.h"

#include "help/HelpCollection.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFrame>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>

namespace brisden::help {

HelpBrowser::HelpBrowser(QWidget* parent) : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("HelpPage"));
    setOpenLinks(false);
    // Pages of the manual open here; addresses outside it in the browser.
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme() == QLatin1String("qthelp") || url.isRelative())
            setSource(url.isRelative() ? source().resolved(url) : url);
        else
            QDesktopServices::openUrl(url);
    });
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name)
{
    if (m_engine && name.scheme() == QLatin1String("qthelp"))
        return m_engine->fileData(name);
    return QTextBrowser::loadResource(type, name);
}

HelpWindow::HelpWindow(const QString& collection, const QString& cacheFolder, QWidget* parent)
    : QMainWindow(parent, Qt::Window), m_collection(collection), m_cacheFolder(cacheFolder)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Brisden User Manual"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_browser = new HelpBrowser(this);
    setCentralWidget(m_browser);
    resize(960, 680);
}

HelpWindow::~HelpWindow() = default;

bool HelpWindow::open()
{
    if (m_tried)
        return m_open;
    m_tried = true;
    if (!QFileInfo(m_collection).isFile()) {
        m_reason = QStringLiteral("The help collection %1 does not exist.").arg(m_collection);
        return false;
    }
    const QString path = WritableCollection(m_collection, m_cacheFolder);
    if (path.isEmpty()) {
        m_reason = QStringLiteral("The help collection %1 could not be copied to %2.")
                       .arg(m_collection, m_cacheFolder);
        return false;
    }
    m_engine = new QHelpEngine(path, this);
    m_engine->setUsesFilterEngine(true);
    if (!m_engine->setupData()) {
        m_reason = QStringLiteral("The help collection %1 could not be opened: %2")
                       .arg(path, m_engine->error());
        delete m_engine;
        m_engine = nullptr;
        return false;
    }
    if (m_engine->fileData(ManualUrl(QLatin1String(kContentsPage))).isEmpty()) {
        m_reason = QStringLiteral("The help collection %1 holds no manual (%2 is missing).")
                       .arg(path, QLatin1String(kDocumentationFileName));
        delete m_engine;
        m_engine = nullptr;
        return false;
    }
    m_open = true;
    m_browser->setHelpEngine(m_engine);
    buildWindow();
    return true;
}

void HelpWindow::buildWindow()
{
    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("HelpTabs"));

    QHelpContentWidget* contents = m_engine->contentWidget();
    contents->setObjectName(QStringLiteral("HelpContents"));
    m_tabs->addTab(contents, QStringLiteral("&Contents"));
    connect(contents, &QHelpContentWidget::linkActivated, this, &HelpWindow::showPage);
    // One click opens a chapter, as in a browser's side bar.
    connect(contents, &QTreeView::clicked, this, [this](const QModelIndex& at) {
        if (const QHelpContentItem* item = m_engine->contentModel()->contentItemAt(at))
            showPage(item->url());
    });
    // The chapters show once the contents are read.
    connect(m_engine->contentModel(), &QHelpContentModel::contentsCreated, contents,
            [this, contents] {
                contents->expandToDepth(0);
                const QModelIndex at = contents->indexOf(m_browser->source());
                if (at.isValid())
                    contents->setCurrentIndex(at);
            });

    auto* indexPage = new QWidget;
    auto* indexLayout = new QVBoxLayout(indexPage);
    auto* lookFor = new QLineEdit(indexPage);
    lookFor->setObjectName(QStringLiteral("HelpIndexFilter"));
    lookFor->setPlaceholderText(QStringLiteral("Type a word to look for"));
    QHelpIndexWidget* index = m_engine->indexWidget();
    index->setObjectName(QStringLiteral("HelpIndex"));
    indexLayout->addWidget(lookFor);
    indexLayout->addWidget(index, 1);
    connect(lookFor, &QLineEdit::textChanged, index,
            [index](const QString& text) { index->filterIndices(text); });
    connect(lookFor, &QLineEdit::returnPressed, index, &QHelpIndexWidget::activateCurrentItem);
    connect(index, &QListView::clicked, index, &QHelpIndexWidget::activateCurrentItem);
    connect(index, &QHelpIndexWidget::documentActivated, this,
            [this](const QHelpLink& document, const QString&) { showPage(document.url); });
    connect(index, &QHelpIndexWidget::documentsActivated, this,
            [this](const QList<QHelpLink>& documents, const QString&) {
                if (!documents.isEmpty())
                    showPage(documents.first().url);
            });
    m_tabs->addTab(indexPage, QStringLiteral("&Index"));

    QHelpSearchEngine* search = m_engine->searchEngine();
    auto* searchPage = new QWidget;
    auto* searchLayout = new QVBoxLayout(searchPage);
    QHelpSearchQueryWidget* query = search->queryWidget();
    query->setObjectName(QStringLiteral("HelpSearchQuery"));
    QHelpSearchResultWidget* results = search->resultWidget();
    results->setObjectName(QStringLiteral("HelpSearchResults"));
    searchLayout->addWidget(query);
    searchLayout->addWidget(results, 1);
    connect(query, &QHelpSearchQueryWidget::search, search,
            [search, query] { search->search(query->searchInput()); });
    connect(results, &QHelpSearchResultWidget::requestShowLink, this, &HelpWindow::showPage);
    m_tabs->addTab(searchPage, QStringLiteral("&Search"));
    // The full-text index is built in the background the first time the
    // collection is opened, and again when the manual changed.
    search->scheduleIndexDocumentation();

    auto* dock = new QSplitter(Qt::Horizontal, this);
    dock->addWidget(m_tabs);
    takeCentralWidget();
    dock->addWidget(m_browser);
    dock->setStretchFactor(1, 1);
    dock->setSizes({280, 680});
    setCentralWidget(dock);

    QToolBar* bar = addToolBar(QStringLiteral("Navigation"));
    bar->setObjectName(QStringLiteral("HelpNavigation"));
    bar->setMovable(false);
    QAction* back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack),
                                   QStringLiteral("&Back"), m_browser, &QTextBrowser::backward);
    back->setShortcut(QKeySequence::Back);
    QAction* forward =
        bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("&Forward"),
                       m_browser, &QTextBrowser::forward);
    forward->setShortcut(QKeySequence::Forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    back->setEnabled(false);
    forward->setEnabled(false);
    bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("&Contents"),
                   this, [this] { showPage(ManualUrl(QLatin1String(kContentsPage))); });
    QAction* close = new QAction(QStringLiteral("Close"), this);
    close->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);

    // The contents follow the page shown.
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        const QModelIndex at = m_engine->contentWidget()->indexOf(url);
        if (at.isValid())
            m_engine->contentWidget()->setCurrentIndex(at);
        const QString manual = QStringLiteral("Brisden User Manual");
        const QString page = m_browser->documentTitle();
        setWindowTitle(page.isEmpty() || page == manual ? manual
                                                        : page + QStringLiteral(" - ") + manual);
    });
}

void HelpWindow::showPage(const QUrl& url)
{
    m_browser->setSource(url);
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

bool HelpWindow::ShowManual()
{
    if (!open())
        return false;
    showPage(ManualUrl(QLatin1String(kContentsPage)));
    return true;
}

QUrl HelpWindow::topicUrl(int id)
{
    if (!open())
        return QUrl();
    const QList<QHelpLink> links = m_engine->documentsForIdentifier(TopicIdentifier(id));
    return links.isEmpty() ? QUrl() : links.first().url;
}

void HelpWindow::ShowHelpTopic(int id)
{
    const QUrl url = topicUrl(id);
    if (url.isValid())
        showPage(url);
}

QString HelpWindow::popupText(int id)
{
    if (!open())
        return QString();
    return PopupText(m_engine->fileData(ManualUrl(QLatin1String(kPopupsPage))), id);
}

void HelpWindow::ShowHelpPopup(int id, QPoint globalPos)
{
    const QString text = popupText(id);
    if (!text.isEmpty())
        showPopup(text, globalPos);
}

void HelpWindow::showPopup(const QString& text, QPoint globalPos)
{
    if (!m_popup) {
        // A small window that closes at the next click or key, like a
        // tool tip that waits to be read.
        m_popup = new QFrame(this, Qt::Popup);
        m_popup->setObjectName(QStringLiteral("HelpPopup"));
        m_popup->setAttribute(Qt::WA_DeleteOnClose, false);
        m_popup->setFrameShape(QFrame::Box);
        m_popup->setBackgroundRole(QPalette::ToolTipBase);
        m_popup->setForegroundRole(QPalette::ToolTipText);
        m_popup->setAutoFillBackground(true);
        m_popupLabel = new QLabel(m_popup);
        m_popupLabel->setObjectName(QStringLiteral("HelpPopupText"));
        m_popupLabel->setTextFormat(Qt::PlainText);
        m_popupLabel->setWordWrap(true);
        m_popupLabel->setForegroundRole(QPalette::ToolTipText);
        auto* layout = new QVBoxLayout(m_popup);
        layout->setContentsMargins(8, 6, 8, 6);
        layout->addWidget(m_popupLabel);
    }
    m_popupLabel->setText(text);
    m_popupLabel->setFixedWidth(std::min(360, m_popupLabel->fontMetrics().horizontalAdvance(text) + 4));
    m_popup->adjustSize();
    // Kept on the screen of the point.
    QPoint at = globalPos;
    if (const QScreen* screen = QGuiApplication::screenAt(globalPos)) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - m_popup->width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - m_popup->height())));
    }
    m_popup->move(at);
    m_popup->show();
}

QString HelpWindow::popupShownText() const
{
    return m_popup && m_popup->isVisible() ? m_popupLabel->text() : QString();
}

}  // namespace brisden::help
