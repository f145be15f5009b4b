#pragma once
// The page composer: where every line of a printed report lands. It prepares
// the printer's scale for the character-column layouts, prints one layout
// line from tab stops and texts, prints the three-line page header, breaks
// pages, and hands a finished preview to the preview window. The report
// engines decide what goes on each line.

#include "report/PrintSurface.h"
#include "report/ReportState.h"

#include <QDateTime>
#include <QLocale>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace brisden {

namespace ui {
class IMessageBox;
class ILogSink;
}  // namespace ui

// The warning shown once when a preview page was filled past its bottom.
QString PreviewOverflowWarning();

// A page number as the mask "Page ###" prints it: no digit for 0.
QString PageText(int pageNumber);

class PageComposer {
public:
    PageComposer(ReportState& report, QString programTitle, QLocale locale = QLocale::system());

    // The time of the page headers (the current time when empty).
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    // Current margins in thousandths of an inch: top, bottom, left, right.
    std::array<int, 4> Margins{0, 0, 0, 0};

    // The surface printed on: the printer, or the preview's page picture.
    void setSurface(IPrintSurface* surface) { m_surface = surface; }
    IPrintSurface* surface() const { return m_surface; }

    // The printer's scale for the column layout and the page geometry;
    // always on the printer itself (the preview copies its geometry).
    void PreparePrintSurface(IPrintSurface& printer);
    // The engine's step after preparing: the scale applied to the current
    // surface, PageTopY and LastLineY taken from it.
    void ApplyScale();

    void PrintTabbedLine(const std::vector<std::int32_t>& tabStops, const QStringList& texts);
    void PrintBlankLines(int count);
    void PrintPageHeader(int topLines);
    void StartNewPage();
    // Prints text starting at character column n (counted from 1), on the
    // next line when the line is already past it; the line stays open.
    void PrintAtColumn(int n, const QString& text);
    // Centres text over the whole scaled width and ends the line.
    void PrintCentred(const QString& text);
    void PrintLine(const QString& text) { m_surface->Print(text, true); }

    // The header of a report file: four lines of 80 columns.
    QStringList FileHeaderLines() const;

    // Finishes a preview and shows it: nothing printed closes the preview
    // instead (closePreview); an overflow is logged and shown once; then
    // showPreview. Ignored on a printer. The surface is released.
    void ShowPrintPreview(ui::IMessageBox* messages, ui::ILogSink* log,
                          const std::function<void()>& showPreview,
                          const std::function<void()>& closePreview);

    // True when the vertical position is past the last line of the page less
    // reserve line heights.
    bool pastLastLine(int reserve) const;
    double lineHeight() const { return m_surface->TextHeight(QStringLiteral("I")); }
    // Anything printed on the current page.
    bool pageUsed() const { return m_surface->CurrentY() != PageTopY; }

    int orientation() const { return m_orientation; }
    ReportState& report() { return m_report; }
    const QString& programTitle() const { return m_programTitle; }
    const QLocale& locale() const { return m_locale; }

    // Page geometry in the surface's scaled units.
    std::int32_t x1 = 0, x2 = 80;
    double y1 = 0, y2 = 0;
    double PageBottomY = 0;
    double LastLineY = 0;
    double PageTopY = 0;
    // Set when a preview page was filled past PageBottomY.
    bool PreviewOverflow = false;

private:
    QString dateText() const;
    QString timeText() const;
    QStringList headerTexts(const QString& page) const;

    ReportState& m_report;
    QString m_programTitle;
    QLocale m_locale;
    std::function<QDateTime()> m_clock;
    IPrintSurface* m_surface = nullptr;
    int m_orientation = 1;
    // The built-in header layouts, made on the first header of the run.
    std::vector<std::int32_t> m_headerPortrait;
    std::vector<std::int32_t> m_headerLandscape;
};

}  // namespace brisden
