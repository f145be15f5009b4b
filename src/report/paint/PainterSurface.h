#pragma once
// Print surfaces drawn with QPainter: the pages of a printer or a PDF file
// (any paged device), and the page pictures of the print preview (one
// recorded picture per page at the printer's geometry). Both measure text
// with the report font at the device's resolution, so that a preview page
// holds exactly the lines the printer's page would.

#include "report/ScaledSurface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPicture>
#include <QPainter>
#include <QPageLayout>
#include <QRawFont>
#include <array>
#include <memory>
#include <vector>

class QPagedPaintDevice;

namespace brisden {

// The report font: the settings' name, size, bold and italic; a name the
// system does not have falls back to its fixed-pitch font.
QFont ReportFont(const PrintFont& font);
// The page of a page layout: sheet, printable area and its offset, in inches.
PageMetrics MetricsOf(const QPageLayout& layout);

class PainterSurface : public ScaledSurface {
public:
    // Draws through painter (active on device) at the device's resolution.
    // device is null for a surface that cannot start pages (the preview).
    PainterSurface(QPainter& painter, QPagedPaintDevice* device, const PageMetrics& page,
                   double dpi, const PrintFont& font, int orientation, QString deviceName);

    bool NewPage() override;
    bool EndDoc() override;
    int Orientation() const override { return m_orientation; }
    QString DeviceName() const override { return m_deviceName; }
    PrintFont Font() const override { return m_printFont; }
    int pagesStarted() const { return m_pages; }

protected:
    double textWidthInches(const QString& text) const override;
    double lineHeightInches() const override { return m_lineHeight; }
    void drawText(double xInches, double yInches, const QString& text) override;
    void setPainter(QPainter& painter) { m_painter = &painter; }
    void setDevice(QPaintDevice* device);
    // Draws the texts collected for the current line.
    void flush();
    // Texts of one line as one run of glyphs (paged devices); a recorded
    // picture draws each text by itself.
    bool m_batchGlyphs = true;

private:
    QPainter* m_painter;
    QPagedPaintDevice* m_device;
    double m_dpi;
    PrintFont m_printFont;
    QFont m_font;
    std::unique_ptr<QFontMetricsF> m_metrics;
    double m_charWidth = 0;  // of a fixed-pitch font; 0 when the pitch varies
    double m_lineHeight = 0;
    double m_ascent = 0;
    int m_orientation;
    QString m_deviceName;
    // The texts of one printed line are drawn as one run of glyphs placed
    // one by one: a tenth of the text items, and no shaping of each text.
    QRawFont m_raw;
    std::array<quint32, 256> m_glyph{};
    std::array<double, 256> m_advance{};  // device pixels; < 0 while not looked up
    QList<quint32> m_lineGlyphs;
    QList<QPointF> m_linePositions;
    double m_lineY = 0;
    int m_pages = 1;
};

namespace detail {
// The picture and its painter, made before the surface that draws on them.
struct PagePicture {
    std::unique_ptr<QPainter> painter = std::make_unique<QPainter>();
    QPicture picture;
};
}  // namespace detail

// The preview's page picture (Picture3): the printable area of the
// printer's page, recorded as drawing commands so that a page is shown at
// any zoom and a long report keeps little memory; each finished page is kept.
class PagePictureSurface final : private detail::PagePicture, public PainterSurface {
public:
    PagePictureSurface(const PageMetrics& page, const PrintFont& font, int orientation,
                       QString deviceName);
    ~PagePictureSurface() override;

    bool IsPreview() const override { return true; }
    void KeepPage() override;
    int KeptPages() const override { return static_cast<int>(m_kept.size()); }
    void KeepLastPage() override;

    // The resolution the pages are recorded at (dots per inch).
    double dpi() const { return picture.logicalDpiX(); }
    const std::vector<QPicture>& pages() const { return m_kept; }
    std::vector<QPicture> takePages() { return std::move(m_kept); }

private:
    void restart();
    std::vector<QPicture> m_kept;
};

// A kept page drawn into an image of the printable area at dpi (white
// background), e.g. for a picture of the preview.
QImage RenderPage(const QPicture& page, const PageMetrics& metrics, double dpi);

}  // namespace brisden
