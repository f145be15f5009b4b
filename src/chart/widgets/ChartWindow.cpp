#include "chart/widgets/ChartWindow.h"

#include "chart/ChartMath.h"
#include "chart/ChartTypes.h"
#include "report/widgets/TextPrinter.h"
#include "shell/Settings.h"
#include "ui/Help.h"

#include <QAbstractBarSeries>
#include <QAction>
#include <QAreaSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPieSeries>
#include <QPieSlice>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QXYSeries>

namespace brisden::chart {

void Chart3DView::setChart(const ChartDocument* chart)
{
    m_chart = chart;
    update();
}

void Chart3DView::paintEvent(QPaintEvent*)
{
    if (!m_chart)
        return;
    QPainter painter(this);
    Paint3DChart(painter, QRectF(rect()), *m_chart, &m_regions);
}

ChartWindow::ChartWindow(const ChartWindowContext& context, QWidget* parent)
    : QMainWindow(parent), m(context), m_pick(PickColourWithDialog)
{
    setObjectName(QStringLiteral("frmChart"));
    setWindowTitle(QStringLiteral("Brisden - Chart"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    m_stack = new QStackedWidget(central);
    m_view = new QChartView(m_stack);
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setFocusPolicy(Qt::NoFocus);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    m_view->viewport()->installEventFilter(this);
    m_view3D = new Chart3DView(m_stack);
    m_view3D->setContextMenuPolicy(Qt::CustomContextMenu);
    m_stack->addWidget(m_view);
    m_stack->addWidget(m_view3D);
    m_stack->setMinimumSize(480, 320);
    layout->addWidget(m_stack, 1);

    auto* buttons = new QHBoxLayout;
    const QString captions[4] = {QStringLiteral("&Color"), QStringLiteral("&Print"),
                                 QStringLiteral("P&rev"), QStringLiteral("&Next")};
    const QString tips[4] = {QStringLiteral("Change the chart colors"),
                             QStringLiteral("Print the chart"),
                             QStringLiteral("Display the previous chart"),
                             QStringLiteral("Display the next chart")};
    for (int i = 0; i < 4; ++i) {
        Command1[i] = new QPushButton(captions[i], central);
        Command1[i]->setObjectName(QStringLiteral("Command1_%1").arg(i));
        Command1[i]->setToolTip(tips[i]);
        buttons->addWidget(Command1[i]);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    setCentralWidget(central);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    mnuChangeColor = file->addAction(QStringLiteral("&Change color..."));
    mnuPrint = file->addAction(QStringLiteral("&Print..."));
    file->addSeparator();
    mnuSavePdf = file->addAction(QStringLiteral("Save chart as PDF..."));
    mnuSaveImage = file->addAction(QStringLiteral("Save chart as PNG/SVG..."));
    file->addSeparator();
    mnuExit = file->addAction(QStringLiteral("E&xit this screen"));
    mnuChart = menuBar()->addMenu(QStringLiteral("&Chart"));
    mnuPrevious = mnuChart->addAction(QStringLiteral("&Previous chart    PgUp"));
    mnuNext = mnuChart->addAction(QStringLiteral("&Next chart          PgDwn"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp = help->addAction(QStringLiteral("Charting &Help   F1"));

    popup = new QMenu(this);
    QAction* rcColor = popup->addAction(QStringLiteral("&Change color..."));
    QAction* rcPrint = popup->addAction(QStringLiteral("&Print chart..."));
    QAction* rcExit = popup->addAction(QStringLiteral("E&xit this screen"));
    QAction* rcHelp = popup->addAction(QStringLiteral("Charting &Help"));

    connect(Command1[0], &QPushButton::clicked, this, &ChartWindow::changeChartColours);
    connect(mnuChangeColor, &QAction::triggered, this, &ChartWindow::changeChartColours);
    connect(Command1[1], &QPushButton::clicked, this, &ChartWindow::PrintChart);
    connect(mnuPrint, &QAction::triggered, this, &ChartWindow::PrintChart);
    connect(rcPrint, &QAction::triggered, this, &ChartWindow::PrintChart);
    connect(Command1[2], &QPushButton::clicked, this, [this] { stepChart(false); });
    connect(Command1[3], &QPushButton::clicked, this, [this] { stepChart(true); });
    connect(mnuPrevious, &QAction::triggered, this, [this] { stepChart(false); });
    connect(mnuNext, &QAction::triggered, this, [this] { stepChart(true); });
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(rcExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuHelp, &QAction::triggered, this, &ChartWindow::showHelp);
    connect(rcHelp, &QAction::triggered, this, &ChartWindow::showHelp);
    connect(rcColor, &QAction::triggered, this, [this] { changeColourAt(m_popupPoint); });
    connect(mnuSavePdf, &QAction::triggered, this, [this] { saveWithDialog(true); });
    connect(mnuSaveImage, &QAction::triggered, this, [this] { saveWithDialog(false); });
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, &ChartWindow::showHelp);

    connect(m_view, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { showPopup(pos, m_view->mapToGlobal(pos)); });
    connect(m_view3D, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { showPopup(pos, m_view3D->mapToGlobal(pos)); });

    resize(900, 600);
}

ChartWindow::~ChartWindow() = default;

void ChartWindow::setHelp(ui::IHelp* help)
{
    m_help = help;
    if (m_colorDialog)
        m_colorDialog->setHelp(help);
    if (m_printDialog)
        m_printDialog->setHelp(help);
}

void ChartWindow::setPickColour(PickColour pick)
{
    m_pick = std::move(pick);
    if (m_colorDialog)
        m_colorDialog->setPickColour(m_pick);
}

ChartColorDialog* ChartWindow::colorDialog()
{
    if (!m_colorDialog) {
        m_colorDialog = new ChartColorDialog(m.settings, m.IniPath, this);
        m_colorDialog->setHelp(m_help);
        m_colorDialog->setPickColour(m_pick);
    }
    return m_colorDialog;
}

ChartPrintDialog* ChartWindow::printDialog()
{
    if (!m_printDialog) {
        m_printDialog = new ChartPrintDialog(this);
        m_printDialog->setHelp(m_help);
    }
    return m_printDialog;
}

ChartColours ChartWindow::SetColors() const
{
    return ColoursFromSettings(m.settings.ChartBackDropColor, m.settings.PlotBackDropColor,
                               m.settings.PlotWallColor, m.settings.PlotBaseColor);
}

void ChartWindow::showChart(ChartDocument& chart)
{
    m_chart = &chart;
    const bool stepping = chart.ChartType != Chart2DXY;
    Command1[2]->setEnabled(stepping);
    Command1[3]->setEnabled(stepping);
    mnuChart->setEnabled(stepping);
    chart.Colours = SetColors();
    ApplyChartType(chart.ChartType);
    show();
    raise();
    activateWindow();
}

bool ChartWindow::steppingEnabled() const
{
    return m_chart && m_chart->ChartType != Chart2DXY && mnuChart->isEnabled();
}

void ChartWindow::ApplyChartType(int type)
{
    if (!m_chart)
        return;
    m_chart->ChartType = type;
    m_chart->Footnote = ChartFootnote(*m_chart);
    statusBar()->showMessage(ChartTypeName(type));
    redraw();
}

void ChartWindow::stepChart(bool next)
{
    if (!steppingEnabled())
        return;
    ApplyChartType(next ? NextChartType(m_chart->ChartType)
                        : PreviousChartType(m_chart->ChartType));
}

void ChartWindow::redraw()
{
    if (!m_chart)
        return;
    if (IsThreeD(m_chart->ChartType)) {
        m_view3D->setChart(m_chart);
        m_stack->setCurrentWidget(m_view3D);
        return;
    }
    m_view3D->setChart(nullptr);
    // Long series are thinned to what the screen can show.
    QChart* chart = BuildQtChart(*m_chart, std::max(2000, m_stack->width() * 2));
    // Remember which series a mouse press hit (for the right-click menu).
    const auto hit = [this](int series) { m_pressedSeries = series; };
    for (QAbstractSeries* series : chart->series()) {
        const int number = series->property("chartSeries").toInt();
        if (auto* xy = qobject_cast<QXYSeries*>(series)) {
            connect(xy, &QXYSeries::pressed, this, [hit, number] { hit(number); });
        } else if (auto* area = qobject_cast<QAreaSeries*>(series)) {
            connect(area, &QAreaSeries::pressed, this, [hit, number] { hit(number); });
        } else if (auto* bars = qobject_cast<QAbstractBarSeries*>(series)) {
            connect(bars, &QAbstractBarSeries::pressed, this,
                    [hit](int, QBarSet* set) { hit(set->property("chartSeries").toInt()); });
        } else if (auto* pie = qobject_cast<QPieSeries*>(series)) {
            connect(pie, &QPieSeries::pressed, this,
                    [hit](QPieSlice* slice) { hit(slice->property("chartSeries").toInt()); });
        }
    }
    m_view->setBackgroundBrush(ToQColor(m_chart->Colours.ChartBackDrop));
    QChart* old = m_view->chart();
    m_view->setChart(chart);
    delete old;
    m_stack->setCurrentWidget(m_view);
}

QSize ChartWindow::chartSize() const
{
    return m_stack->size();
}

QImage ChartWindow::chartImage()
{
    return m_stack->currentWidget()->grab().toImage();
}

bool ChartWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A press starts with no series hit; the series' own handlers follow.
    if (watched == m_view->viewport() && event->type() == QEvent::MouseButtonPress)
        m_pressedSeries = 0;
    return QMainWindow::eventFilter(watched, event);
}

void ChartWindow::showPopup(QPoint chartPoint, QPoint globalPoint)
{
    m_popupPoint = chartPoint;
    popup->popup(globalPoint);
}

void ChartWindow::changeColourAt(QPoint point)
{
    if (!m_chart)
        return;
    m_clickedSeries = IsThreeD(m_chart->ChartType) ? m_view3D->seriesAt(point) : m_pressedSeries;
    if (m_clickedSeries > 0)
        changeSeriesColour(m_clickedSeries);
    else
        changeChartColours();
}

void ChartWindow::changeChartColours()
{
    if (!m_chart)
        return;
    if (const auto colours = colorDialog()->choose(m_chart->Colours)) {
        m_chart->Colours = *colours;
        redraw();
    }
}

void ChartWindow::changeSeriesColour(int series)
{
    if (!m_chart || series < 1 || series > m_chart->seriesCount())
        return;
    if (const auto chosen = m_pick(SeriesColour(*m_chart, series), this)) {
        m_chart->style(series).Colour = FromQColor(*chosen);
        redraw();
    }
}

void ChartWindow::PrintChart()
{
    if (!m_chart)
        return;
    const QString device = m.settings.GraphicsDevice;
    if (device.trimmed().isEmpty()) {
        m.messages.show(
            QStringLiteral("You need to pick 'Options' first, and select a graphics printer."),
            ui::Icon::Exclamation);
        return;
    }
    const QStringList names =
        m_printerNames ? m_printerNames() : QPrinterInfo::availablePrinterNames();
    if (!names.contains(device)) {
        m.messages.show(QStringLiteral("The default graphics printer: ") + device +
                            QStringLiteral(" is not available, please click 'Options', and "
                                           "pick another."),
                        ui::Icon::Exclamation);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(device);
    if (m_preparePrinter)
        m_preparePrinter(printer);

    ChartPrintDialog* dialog = printDialog();
    dialog->setDevice(device);
    dialog->setShowPrinterProperties([this, device] { ShowPrinterProperties(device, this); });
    const bool ok = m_runPrintDialog ? m_runPrintDialog(*dialog) : dialog->exec() == QDialog::Accepted;
    dialog->setShowPrinterProperties({});
    if (!ok)
        return;

    printer.setPageOrientation(dialog->landscape() ? QPageLayout::Landscape
                                                   : QPageLayout::Portrait);
    const QSize shown = chartSize();
    QPainter painter;
    QString error;
    if (!painter.begin(&printer)) {
        error = QStringLiteral("the printer could not start the document");
    } else {
        const QRectF printable(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
        // The picture in the printer's units: its pixels at the screen's resolution.
        const double scale = double(printer.resolution()) / std::max(logicalDpiX(), 1);
        const QSizeF picture(shown.width() * scale, shown.height() * scale);
        const QRectF target =
            dialog->stretch() ? FitToPage(picture, printable) : QRectF(QPointF(0, 0), picture);
        RenderChart(painter, target, *m_chart, shown);
        m_lastPrinted = target;
        m_lastPrintable = printable;
        if (!painter.end())
            error = QStringLiteral("the document could not be finished");
        else if (printer.printerState() == QPrinter::Error)
            error = QStringLiteral("the printer reported an error");
    }
    if (!error.isEmpty())
        m.messages.show(QStringLiteral("Error: ") + error +
                            QStringLiteral("\n\nMake sure the printer can print graphics."),
                        ui::Icon::Exclamation);
}

bool ChartWindow::saveChartAs(const QString& path)
{
    if (!m_chart)
        return false;
    QString error;
    if (!SaveChart(*m_chart, path, chartSize(), &error)) {
        m.messages.show(QStringLiteral("The chart was not saved: ") + error,
                        ui::Icon::Exclamation);
        return false;
    }
    return true;
}

void ChartWindow::saveWithDialog(bool pdf)
{
    const QString path =
        pdf ? QFileDialog::getSaveFileName(this, QStringLiteral("Save chart as PDF"), QString(),
                                           QStringLiteral("PDF files (*.pdf)"))
            : QFileDialog::getSaveFileName(this, QStringLiteral("Save chart as PNG or SVG"),
                                           QString(),
                                           QStringLiteral("PNG images (*.png);;SVG drawings (*.svg)"));
    if (path.isEmpty())
        return;
    QString target = path;
    if (pdf && !target.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        target += QStringLiteral(".pdf");
    if (!pdf && !target.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) &&
        !target.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive))
        target += QStringLiteral(".png");
    saveChartAs(target);
}

void ChartWindow::showHelp()
{
    if (m_help)
        m_help->ShowHelpTopic(ui::HelpChartWindow);
}

void ChartWindow::keyPressEvent(QKeyEvent* event)
{
    // One step per key press: a held key does not repeat.
    if (event->key() == Qt::Key_PageDown || event->key() == Qt::Key_PageUp) {
        if (!event->isAutoRepeat())
            stepChart(event->key() == Qt::Key_PageDown);
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void ChartWindow::closeEvent(QCloseEvent* event)
{
    // The two dialogs go with the window.
    delete m_colorDialog;
    m_colorDialog = nullptr;
    delete m_printDialog;
    m_printDialog = nullptr;
    QMainWindow::closeEvent(event);
    emit closed();
}

}  // namespace brisden::chart
