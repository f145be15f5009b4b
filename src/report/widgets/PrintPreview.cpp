#include "report/widgets/PrintPreview.h"

#include "report/paint/PainterSurface.h"
#include "report/widgets/PreviewColours.h"
#include "shell/Settings.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace brisden {

// Picture1/Picture2/Picture3: the sheet around the printable area, and the
// report's page on the printable area.
class PreviewPageView final : public QWidget {
public:
    explicit PreviewPageView(PrintPreview& preview) : QWidget(nullptr), m_preview(preview) {}

    double pixelsPerInch = 96;
    QMenu* popup = nullptr;

    QSize sheetSize() const
    {
        const PageMetrics& m = m_preview.metrics();
        return QSize(static_cast<int>(m.physicalWidth * pixelsPerInch + 0.5),
                     static_cast<int>(m.physicalHeight * pixelsPerInch + 0.5));
    }
    QSize sizeHint() const override { return sheetSize() + QSize(16, 16); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const PageMetrics& m = m_preview.metrics();
        const QSize sheet = sheetSize();
        const QPointF origin((width() - sheet.width()) / 2.0, 8);
        p.fillRect(QRectF(origin, QSizeF(sheet)), PreviewQColor(m_preview.outsideColour()));
        // The unprintable strips: half the difference on each side.
        const double stripX = (m.physicalWidth - m.printableWidth) / 2;
        const double stripY = (m.physicalHeight - m.printableHeight) / 2;
        const QRectF printable(origin.x() + stripX * pixelsPerInch,
                               origin.y() + stripY * pixelsPerInch,
                               m.printableWidth * pixelsPerInch, m.printableHeight * pixelsPerInch);
        p.fillRect(printable, PreviewQColor(m_preview.insideColour()));
        const int page = m_preview.currentPage();
        if (page >= 1 && page <= m_preview.pageCount()) {
            const QPicture& picture = m_preview.pages()[static_cast<std::size_t>(page - 1)];
            p.setRenderHint(QPainter::TextAntialiasing);
            p.translate(printable.topLeft());
            const double scale = pixelsPerInch / picture.logicalDpiX();
            p.scale(scale, scale);
            p.drawPicture(0, 0, picture);
        }
    }
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        if (popup)
            popup->popup(event->globalPos());
    }

private:
    PrintPreview& m_preview;
};

PrintPreview::PrintPreview(const Settings& settings, QString iniPath, QString programTitle,
                           ui::IHelp* help, QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      m_settings(settings),
      m_iniPath(std::move(iniPath)),
      m_help(help)
{
    setObjectName(QStringLiteral("frmPrtPreview"));
    setWindowTitle(programTitle + QStringLiteral(" - Print Preview"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* info = new QGridLayout;
    const auto addLabel = [&](const QString& caption, int row, int column, const QString& name) {
        info->addWidget(new QLabel(caption, central), row, column);
        auto* value = new QLabel(central);
        value->setObjectName(name);
        info->addWidget(value, row, column + 1);
        return value;
    };
    m_lblDevice = addLabel(QStringLiteral("Device:"), 0, 0, QStringLiteral("lblDevice"));
    m_lblFont = addLabel(QStringLiteral("Font:"), 1, 0, QStringLiteral("lblFont"));
    m_lblFontSize = addLabel(QStringLiteral("Font size:"), 0, 2, QStringLiteral("lblFontSize"));
    m_lblLines = addLabel(QStringLiteral("Lines/pg:"), 1, 2, QStringLiteral("lblLines"));
    m_lblPage = addLabel(QStringLiteral("Displaying page"), 0, 4, QStringLiteral("lblPage"));
    info->addWidget(new QLabel(QStringLiteral("Color Legend:"), central), 0, 6);
    m_legendInside = new QLabel(QStringLiteral("Printable area"), central);
    m_legendOutside = new QLabel(QStringLiteral("Non-printable area"), central);
    m_legendInside->setObjectName(QStringLiteral("lblLegendInside"));
    m_legendOutside->setObjectName(QStringLiteral("lblLegendOutside"));
    info->addWidget(m_legendInside, 0, 7);
    info->addWidget(m_legendOutside, 1, 7);
    info->setColumnStretch(8, 1);
    layout->addLayout(info);

    auto* buttons = new QHBoxLayout;
    const char* captions[4] = {"&1st Pg", "&Prev", "&Next", "&Lst Pg"};
    const char* tips[4] = {"Display the first page", "Display the previous page",
                           "Display the next page", "Display the last page"};
    for (int i = 0; i < 4; ++i) {
        m_command1[i] = new QPushButton(QString::fromLatin1(captions[i]), central);
        m_command1[i]->setObjectName(QStringLiteral("Command1_%1").arg(i));
        m_command1[i]->setToolTip(QString::fromLatin1(tips[i]));
        buttons->addWidget(m_command1[i]);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(m_command1[0], &QPushButton::clicked, this, [this] { firstPage(); });
    connect(m_command1[1], &QPushButton::clicked, this, [this] { previousPage(); });
    connect(m_command1[2], &QPushButton::clicked, this, [this] { nextPage(); });
    connect(m_command1[3], &QPushButton::clicked, this, [this] { lastPage(); });

    m_view = new PreviewPageView(*this);
    m_scroll = new QScrollArea(central);
    m_scroll->setWidget(m_view);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    layout->addWidget(m_scroll, 1);
    setCentralWidget(central);

    // Menus.
    const auto makeAction = [this](const QString& name, const QString& text,
                                   const std::function<void()>& handler) {
        auto* a = new QAction(text, this);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* print = makeAction(QStringLiteral("mnuPrint"), QStringLiteral("&Print..."), [this] {
        if (m_print)
            m_print();
    });
    print->setShortcut(QKeySequence::Print);
    file->addAction(print);
    file->addAction(makeAction(QStringLiteral("mnuSavePdf"), QStringLiteral("Save as P&DF..."),
                               [this] { savePdf(); }));
    file->addAction(makeAction(QStringLiteral("mnuColorChange"), QStringLiteral("&Change color"),
                               [this] { changeColours(); }));
    file->addSeparator();
    file->addAction(makeAction(QStringLiteral("mnuExit"), QStringLiteral("E&xit"),
                               [this] { close(); }));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    const struct {
        const char* name;
        const char* text;
        Qt::Key key;
        void (PrintPreview::*go)();
    } moves[4] = {{"mnuFirstPage", "&First page", Qt::Key_Home, &PrintPreview::firstPage},
                  {"mnuPrevPage", "&Previous page", Qt::Key_PageUp, &PrintPreview::previousPage},
                  {"mnuNextPage", "&Next page", Qt::Key_PageDown, &PrintPreview::nextPage},
                  {"mnuLastPage", "&Last page", Qt::Key_End, &PrintPreview::lastPage}};
    for (const auto& move : moves) {
        auto go = move.go;
        QAction* a = makeAction(QString::fromLatin1(move.name), QString::fromLatin1(move.text),
                                [this, go] { (this->*go)(); });
        a->setShortcut(QKeySequence(move.key));
        a->setShortcutContext(Qt::WindowShortcut);
        view->addAction(a);
    }
    view->addSeparator();
    QAction* fit = makeAction(QStringLiteral("mnuFitWindow"), QStringLiteral("Fit to &window"),
                              [this] { fitToWindow(); });
    QAction* actual = makeAction(QStringLiteral("mnuActualSize"), QStringLiteral("&Actual size"),
                                 [this] { setZoom(1.0); });
    QAction* zoomIn = makeAction(QStringLiteral("mnuZoomIn"), QStringLiteral("Zoom &in"),
                                 [this] { setZoom((m_fit ? m_view->pixelsPerInch / 96 : m_zoom) * 1.25); });
    QAction* zoomOut = makeAction(QStringLiteral("mnuZoomOut"), QStringLiteral("Zoom &out"),
                                  [this] { setZoom((m_fit ? m_view->pixelsPerInch / 96 : m_zoom) / 1.25); });
    zoomIn->setShortcut(QKeySequence::ZoomIn);
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    view->addAction(fit);
    view->addAction(actual);
    view->addAction(zoomIn);
    view->addAction(zoomOut);

    QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* helpItem =
        makeAction(QStringLiteral("mnuHelpItem"), QStringLiteral("&Help for print preview"), [this] {
            if (m_help)
                m_help->ShowHelpTopic(ui::HelpPrintPreview);
        });
    helpItem->setShortcut(QKeySequence(Qt::Key_F1));
    helpMenu->addAction(helpItem);

    // The right mouse button on the page.
    m_popup = new QMenu(this);
    m_popup->addAction(makeAction(QStringLiteral("mnuRCFirst"), QStringLiteral("&First page"),
                                  [this] { firstPage(); }));
    m_popup->addAction(makeAction(QStringLiteral("mnuRCPrev"), QStringLiteral("&Previous page"),
                                  [this] { previousPage(); }));
    m_popup->addAction(makeAction(QStringLiteral("mnuRCNext"), QStringLiteral("&Next page"),
                                  [this] { nextPage(); }));
    m_popup->addAction(makeAction(QStringLiteral("mnuRCLast"), QStringLiteral("&Last page"),
                                  [this] { lastPage(); }));
    m_popup->addSeparator();
    m_popup->addAction(makeAction(QStringLiteral("mnuRCColor"), QStringLiteral("&Change color"),
                                  [this] { changeColours(); }));
    m_popup->addAction(makeAction(QStringLiteral("mnuRCWhatsThis"), QStringLiteral("&What's this?"),
                                  [this] {
                                      if (m_help)
                                          m_help->ShowHelpPopup(ui::HelpPrintPreview, QCursor::pos());
                                  }));
    m_popup->addAction(makeAction(QStringLiteral("mnuRCHelp"), QStringLiteral("&Help"), [this] {
        if (m_help)
            m_help->ShowHelpTopic(ui::HelpPrintPreview);
    }));
    m_view->popup = m_popup;

    m_colours = new PreviewColours(m_iniPath, m_help, this);
    m_choosePdf = [this] {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Save as PDF"), QString(),
                                            QStringLiteral("PDF files (*.pdf)"));
    };
    resize(900, 760);
    updateView();
}

PrintPreview::~PrintPreview() = default;

QAction* PrintPreview::action(const QString& name) const
{
    return findChild<QAction*>(name);
}

QLabel* PrintPreview::label(const QString& name) const
{
    return findChild<QLabel*>(name);
}

QString PrintPreview::displayingText() const
{
    return m_lblPage->text();
}

std::unique_ptr<PagePictureSurface> PrintPreview::Setup(const PageMetrics& page,
                                                        const QString& deviceName,
                                                        const PrintFont& font, int orientation,
                                                        int linesPerPage)
{
    m_pages.clear();
    m_current = 0;
    m_metrics = page;
    m_deviceName = deviceName;
    m_linesPerPage = linesPerPage;
    m_inside = PreviewColourValue(m_settings.PrintPreviewInsideColor, PreviewInsideDefault);
    m_outside = PreviewColourValue(m_settings.PrintPreviewOutsideColor, PreviewOutsideDefault);
    return std::make_unique<PagePictureSurface>(page, font, orientation, deviceName);
}

void PrintPreview::ShowReport(PagePictureSurface& surface)
{
    m_pages = surface.takePages();
    m_newReport = QStringLiteral("A");
    if (isVisible()) {
        activated();
        raise();
        activateWindow();
    } else {
        show();
    }
}

void PrintPreview::setPrintActions(std::function<void()> print,
                                   std::function<void(const QString&)> savePdf)
{
    m_print = std::move(print);
    m_savePdfTo = std::move(savePdf);
    action(QStringLiteral("mnuPrint"))->setEnabled(static_cast<bool>(m_print));
    action(QStringLiteral("mnuSavePdf"))->setEnabled(static_cast<bool>(m_savePdfTo));
}

void PrintPreview::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    activated();
}

void PrintPreview::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        activated();
}

void PrintPreview::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (m_fit)
        fitToWindow();
}

void PrintPreview::activated()
{
    if (m_newReport != QLatin1String("A"))
        return;
    m_newReport.clear();
    m_lblDevice->setText(m_deviceName);
    m_lblFont->setText(m_settings.Font);
    m_lblFontSize->setText(QString::number(m_settings.TextFontSize));
    m_lblLines->setText(QString::number(m_linesPerPage));
    const auto legend = [](QLabel* label, std::uint32_t colour) {
        label->setStyleSheet(QStringLiteral("background-color: %1; padding: 1px 4px;")
                                 .arg(PreviewQColor(colour).name()));
    };
    legend(m_legendInside, m_inside);
    legend(m_legendOutside, m_outside);
    if (m_fit)
        fitToWindow();
    showPage(1);
}

void PrintPreview::showPage(int page)
{
    const int count = pageCount();
    if (count == 0)
        page = 0;
    else
        page = std::clamp(page, 1, count);
    m_current = page;
    m_lblPage->setText(QString::number(page));
    const bool notFirst = page > 1;
    const bool notLast = page < count;
    m_command1[0]->setEnabled(notFirst);
    m_command1[1]->setEnabled(notFirst);
    m_command1[2]->setEnabled(notLast);
    m_command1[3]->setEnabled(notLast);
    for (const char* name : {"mnuFirstPage", "mnuPrevPage", "mnuRCFirst", "mnuRCPrev"})
        action(QString::fromLatin1(name))->setEnabled(notFirst);
    for (const char* name : {"mnuNextPage", "mnuLastPage", "mnuRCNext", "mnuRCLast"})
        action(QString::fromLatin1(name))->setEnabled(notLast);
    m_view->update();
}

void PrintPreview::fitToWindow()
{
    m_fit = true;
    if (m_metrics.physicalWidth <= 0 || m_metrics.physicalHeight <= 0)
        return;
    const QSize room = m_scroll->viewport()->size() - QSize(20, 20);
    m_view->pixelsPerInch = std::max(
        10.0, std::min(room.width() / m_metrics.physicalWidth, room.height() / m_metrics.physicalHeight));
    updateView();
}

void PrintPreview::setZoom(double factor)
{
    m_fit = false;
    m_zoom = std::clamp(factor, 0.25, 6.0);
    m_view->pixelsPerInch = 96 * m_zoom;
    updateView();
}

void PrintPreview::updateView()
{
    m_view->resize(std::max(m_view->sizeHint().width(), m_scroll->viewport()->width()),
                   m_view->sizeHint().height());
    m_view->update();
}

void PrintPreview::changeColours()
{
    m_colours->setColours(m_inside, m_outside);
    m_colours->Tag.clear();
    m_colours->exec();
    if (m_colours->Tag == QLatin1String("0")) {
        m_inside = m_colours->inside();
        m_outside = m_colours->outside();
        m_newReport = QStringLiteral("A");
        const int page = m_current;
        activated();
        showPage(page);
    }
}

void PrintPreview::savePdf()
{
    if (!m_savePdfTo || !m_choosePdf)
        return;
    QString path = m_choosePdf();
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    m_savePdfTo(path);
}

}  // namespace brisden
