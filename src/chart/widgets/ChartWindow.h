#pragma once
// frmChart, "Brisden - Chart": the chart the builder filled, with stepping
// through the chart types, the chart's and single series' colours, printing
// on the graphics printer and saving the chart as PDF, PNG or SVG. The flat
// types are drawn by Qt Charts, the 3D types by our own projection.

#include "chart/ChartDocument.h"
#include "chart/render/ChartRender.h"
#include "chart/widgets/ChartDialogs.h"
#include "ui/Interaction.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <vector>

class QAction;
class QMenu;
class QPrinter;
class QPushButton;
class QStackedWidget;
QT_BEGIN_NAMESPACE
class QChart;
class QChartView;
QT_END_NAMESPACE

namespace brisden {
class Settings;
namespace ui {
class IHelp;
}
}  // namespace brisden

namespace brisden::chart {

// The 3D types on the screen.
class Chart3DView final : public QWidget {
    Q_OBJECT
public:
    explicit Chart3DView(QWidget* parent = nullptr) : QWidget(parent) {}
    void setChart(const ChartDocument* chart);
    // The series drawn at a point, 0 for the chart or plot.
    int seriesAt(QPoint point) const { return SeriesAt(m_regions, QPointF(point)); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ChartDocument* m_chart = nullptr;
    std::vector<SeriesRegion> m_regions;
};

struct ChartWindowContext {
    Settings& settings;  // chart colours, GraphicsDevice
    QString IniPath;
    QString ProgramTitle;
    ui::IMessageBox& messages;
};

class ChartWindow final : public QMainWindow {
    Q_OBJECT
public:
    ChartWindow(const ChartWindowContext& context, QWidget* parent = nullptr);
    ~ChartWindow() override;

    void setHelp(ui::IHelp* help);

    // Shows the chart the builder filled (activation with tag "A"): stepping
    // for the category types only, the chart type applied, the colours of
    // the settings.
    void showChart(ChartDocument& chart);
    ChartDocument* chart() const { return m_chart; }

    // Sets the type and draws the chart again with its appearance.
    void ApplyChartType(int type);
    // The four colours of the settings.
    ChartColours SetColors() const;
    // "Previous chart" and "Next chart" (nothing for an X-Y chart).
    void stepChart(bool next);
    bool steppingEnabled() const;

    // "&Change color..." at a point of the chart (window coordinates of the
    // chart area): a series gets a colour of its own, elsewhere the colour
    // dialog opens.
    void changeColourAt(QPoint point);
    void changeChartColours();
    void changeSeriesColour(int series);

    // Printing on the graphics printer with its messages.
    void PrintChart();
    // Writes the chart as PDF, PNG or SVG at the size shown.
    bool saveChartAs(const QString& path);

    // The chart as shown, as an image.
    QImage chartImage();
    QSize chartSize() const;

    // --- what the tests replace -------------------------------------
    void setPickColour(PickColour pick);
    void setPrinterNames(std::function<QStringList()> names) { m_printerNames = std::move(names); }
    // Prepares the printer after its name was set (tests print to a PDF file).
    void setPreparePrinter(std::function<void(QPrinter&)> prepare)
    {
        m_preparePrinter = std::move(prepare);
    }
    // Runs the printing options dialog; false for Cancel.
    void setRunPrintDialog(std::function<bool(ChartPrintDialog&)> run)
    {
        m_runPrintDialog = std::move(run);
    }
    ChartColorDialog* colorDialog();
    ChartPrintDialog* printDialog();
    // Where the last printout put the chart, and the printable area, in
    // device pixels of the printer.
    QRectF lastPrintedRect() const { return m_lastPrinted; }
    QRectF lastPrintableArea() const { return m_lastPrintable; }
    // Series numbers by the last right-click (0: chart or plot).
    int lastClickedSeries() const { return m_clickedSeries; }

    QPushButton* Command1[4] = {};  // Color, Print, Prev, Next
    QAction* mnuChangeColor = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuSavePdf = nullptr;
    QAction* mnuSaveImage = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuChart = nullptr;
    QAction* mnuPrevious = nullptr;
    QAction* mnuNext = nullptr;
    QAction* mnuHelp = nullptr;
    QMenu* popup = nullptr;
    QChartView* chartView() const { return m_view; }
    Chart3DView* view3D() const { return m_view3D; }

signals:
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void redraw();
    void showPopup(QPoint chartPoint, QPoint globalPoint);
    void showHelp();
    void saveWithDialog(bool pdf);

    ChartWindowContext m;
    ui::IHelp* m_help = nullptr;
    ChartDocument* m_chart = nullptr;
    QStackedWidget* m_stack = nullptr;
    QChartView* m_view = nullptr;
    Chart3DView* m_view3D = nullptr;
    ChartColorDialog* m_colorDialog = nullptr;
    ChartPrintDialog* m_printDialog = nullptr;
    PickColour m_pick;
    std::function<QStringList()> m_printerNames;
    std::function<void(QPrinter&)> m_preparePrinter;
    std::function<bool(ChartPrintDialog&)> m_runPrintDialog;
    QRectF m_lastPrinted, m_lastPrintable;
    int m_clickedSeries = 0;
    int m_pressedSeries = 0;
    QPoint m_popupPoint;
};

}  // namespace brisden::chart
