#pragma once
// frmPrtPreview: a printed report page by page, exactly as the page composer
// laid it out for the selected printer. Each page is drawn at the printer's
// geometry: the sheet in the outside colour, the printable area in the
// inside colour, the report's page on it. One window for the program run;
// each report refills it.

#include "report/PrintSurface.h"
#include "ui/Help.h"

#include <QMainWindow>
#include <QPicture>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;

namespace brisden {

class PagePictureSurface;
class PreviewColours;
class Settings;

class PreviewPageView;

class PrintPreview final : public QMainWindow {
    Q_OBJECT
public:
    PrintPreview(const Settings& settings, QString iniPath, QString programTitle,
                 ui::IHelp* help, QWidget* parent = nullptr);
    ~PrintPreview() override;

    // Prepares a new report: no page yet, the printer's page geometry, the
    // colours of the settings. The report prints on the returned picture.
    std::unique_ptr<PagePictureSurface> Setup(const PageMetrics& page, const QString& deviceName,
                                              const PrintFont& font, int orientation,
                                              int linesPerPage);
    // The finished report: takes its pages and shows the window (modeless),
    // or brings it up again; page 1 is shown on activation.
    void ShowReport(PagePictureSurface& surface);

    // Printing the report and saving it as PDF run the report again on the
    // printer or a PDF file; the owner of the report gives these.
    void setPrintActions(std::function<void()> print, std::function<void(const QString&)> savePdf);
    // The file chooser of "Save as PDF" (tests answer it).
    void setPdfChooser(std::function<QString()> chooser) { m_choosePdf = std::move(chooser); }

    int pageCount() const { return static_cast<int>(m_pages.size()); }
    int currentPage() const { return m_current; }
    const std::vector<QPicture>& pages() const { return m_pages; }
    const PageMetrics& metrics() const { return m_metrics; }
    std::uint32_t insideColour() const { return m_inside; }
    std::uint32_t outsideColour() const { return m_outside; }
    QString displayingText() const;

    // Navigation (buttons, View menu, right-click menu and keys).
    void firstPage() { showPage(1); }
    void previousPage() { showPage(m_current - 1); }
    void nextPage() { showPage(m_current + 1); }
    void lastPage() { showPage(pageCount()); }
    // Zoom: fit the page to the window, or a fixed factor (1 = actual size).
    void fitToWindow();
    void setZoom(double factor);
    bool fitting() const { return m_fit; }

    QPushButton* command1(int index) const { return m_command1[index]; }
    QAction* action(const QString& name) const;
    QMenu* popupMenu() const { return m_popup; }
    PreviewColours* colourDialog() const { return m_colours; }
    QLabel* label(const QString& name) const;
    // mnuColorChange: the colour dialog with the current colours; OK applies them.
    void changeColours();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void activated();
    void showPage(int page);
    void updateView();
    void savePdf();

    const Settings& m_settings;
    QString m_iniPath;
    ui::IHelp* m_help;
    std::vector<QPicture> m_pages;
    PageMetrics m_metrics;
    std::uint32_t m_inside = 0, m_outside = 0;
    int m_current = 0;
    int m_linesPerPage = 0;
    QString m_deviceName;
    bool m_fit = true;
    double m_zoom = 1;
    // "A": a new report waits to be shown on activation.
    QString m_newReport;

    PreviewPageView* m_view = nullptr;
    QScrollArea* m_scroll = nullptr;
    QPushButton* m_command1[4] = {};
    QLabel* m_lblDevice = nullptr;
    QLabel* m_lblFont = nullptr;
    QLabel* m_lblFontSize = nullptr;
    QLabel* m_lblLines = nullptr;
    QLabel* m_lblPage = nullptr;
    QLabel* m_legendInside = nullptr;
    QLabel* m_legendOutside = nullptr;
    QMenu* m_popup = nullptr;
    PreviewColours* m_colours = nullptr;
    std::function<void()> m_print;
    std::function<void(const QString&)> m_savePdfTo;
    std::function<QString()> m_choosePdf;
};

}  // namespace brisden
