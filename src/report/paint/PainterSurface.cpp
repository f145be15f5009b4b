#include "report/paint/PainterSurface.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPagedPaintDevice>

#include <cmath>

namespace brisden {

QFont ReportFont(const PrintFont& font)
{
    QFont f(font.name);
    if (!QFontInfo(f).exactMatch() || !QFontInfo(f).fixedPitch()) {
        // The columns need a fixed pitch: the system's fixed font stands in
        // for a name it does not have.
        const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        if (QFontInfo(f).family().compare(font.name, Qt::CaseInsensitive) != 0 ||
            !QFontInfo(f).fixedPitch())
            f = fixed;
    }
    f.setPointSizeF(font.size > 0 ? font.size : 10);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

PageMetrics MetricsOf(const QPageLayout& layout)
{
    const QRectF full = layout.fullRect(QPageLayout::Inch);
    const QRectF paint = layout.paintRect(QPageLayout::Inch);
    PageMetrics m;
    m.physicalWidth = full.width();
    m.physicalHeight = full.height();
    m.offsetX = paint.left();
    m.offsetY = paint.top();
    m.printableWidth = paint.width();
    m.printableHeight = paint.height();
    return m;
}

PainterSurface::PainterSurface(QPainter& painter, QPagedPaintDevice* device,
                               const PageMetrics& page, double dpi, const PrintFont& font,
                               int orientation, QString deviceName)
    : ScaledSurface(page),
      m_painter(&painter),
      m_device(device),
      m_dpi(dpi),
      m_printFont(font),
      m_font(ReportFont(font)),
      m_orientation(orientation),
      m_deviceName(std::move(deviceName))
{
    if (device)
        setDevice(device);
}

void PainterSurface::setDevice(QPaintDevice* device)
{
    // Metrics at the device's own resolution: the size in points becomes
    // the same inches on the printer, the PDF page and the preview image.
    m_font = QFont(m_font, device);
    m_metrics = std::make_unique<QFontMetricsF>(m_font, device);
    m_lineHeight = m_metrics->height() / m_dpi;
    m_ascent = m_metrics->ascent() / m_dpi;
    // Texts of a fixed-pitch font are as wide as their characters.
    const double narrow = m_metrics->horizontalAdvance(QStringLiteral("iiii"));
    const double wide = m_metrics->horizontalAdvance(QStringLiteral("MMMM"));
    m_charWidth = QFontInfo(m_font).fixedPitch() && narrow == wide ? wide / 4 / m_dpi : 0;
    // Glyphs at the same size as the metrics: the raw font of the device's font.
    m_raw = QRawFont::fromFont(m_font);
    if (m_raw.isValid() && m_raw.pixelSize() > 0) {
        const QList<quint32> m = m_raw.glyphIndexesForString(QStringLiteral("M"));
        const QList<QPointF> advance = m_raw.advancesForGlyphIndexes(m);
        const double expected = m_metrics->horizontalAdvance(QStringLiteral("M"));
        if (advance.isEmpty() || std::fabs(advance.first().x() - expected) > 0.01 * expected)
            m_raw.setPixelSize(m_raw.pixelSize() * expected / advance.first().x());
    }
    m_advance.fill(-1);
    m_painter->setFont(m_font);
    m_painter->setPen(Qt::black);
}

double PainterSurface::textWidthInches(const QString& text) const
{
    if (m_charWidth > 0) {
        bool latin = true;
        for (const QChar c : text)
            latin = latin && c.unicode() < 0x100;
        if (latin)
            return static_cast<double>(text.size()) * m_charWidth;
    }
    return m_metrics->horizontalAdvance(text) / m_dpi;
}

void PainterSurface::drawText(double xInches, double yInches, const QString& text)
{
    bool latin = m_batchGlyphs && m_raw.isValid();
    for (const QChar c : text)
        latin = latin && c.unicode() < 0x100;
    if (!latin) {
        flush();
        m_painter->drawText(QPointF(xInches * m_dpi, (yInches + m_ascent) * m_dpi), text);
        return;
    }
    if (!m_lineGlyphs.isEmpty() && yInches != m_lineY)
        flush();
    m_lineY = yInches;
    double x = xInches * m_dpi;
    const double baseline = (yInches + m_ascent) * m_dpi;
    for (const QChar c : text) {
        const ushort code = c.unicode();
        if (m_advance[code] < 0) {
            const QList<quint32> glyphs = m_raw.glyphIndexesForString(QString(c));
            m_glyph[code] = glyphs.isEmpty() ? 0 : glyphs.first();
            const QList<QPointF> advances = m_raw.advancesForGlyphIndexes(glyphs);
            m_advance[code] = advances.isEmpty() ? 0 : advances.first().x();
        }
        if (code != ' ') {
            m_lineGlyphs.append(m_glyph[code]);
            m_linePositions.append(QPointF(x, baseline));
        }
        x += m_advance[code];
    }
}

void PainterSurface::flush()
{
    if (m_lineGlyphs.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(m_raw);
    run.setGlyphIndexes(m_lineGlyphs);
    run.setPositions(m_linePositions);
    m_painter->drawGlyphRun(QPointF(), run);
    m_lineGlyphs.clear();
    m_linePositions.clear();
}

bool PainterSurface::NewPage()
{
    flush();
    if (!m_device || !m_device->newPage())
        return false;
    ++m_pages;
    home();
    return true;
}

bool PainterSurface::EndDoc()
{
    flush();
    if (!m_device || !m_painter->isActive())
        return false;
    return m_painter->end();
}

PagePictureSurface::PagePictureSurface(const PageMetrics& page, const PrintFont& font,
                                       int orientation, QString deviceName)
    : PainterSurface(*painter, nullptr, page, QPicture().logicalDpiX(), font, orientation,
                     std::move(deviceName))
{
    m_batchGlyphs = false;
    restart();
}

PagePictureSurface::~PagePictureSurface()
{
    if (painter->isActive())
        painter->end();
}

void PagePictureSurface::restart()
{
    picture = QPicture();
    painter->begin(&picture);
    // The picture's bounds: the whole printable area, however little is on it.
    painter->setClipRect(QRectF(0, 0, m_page.printableWidth * dpi(), m_page.printableHeight * dpi()));
    painter->setClipping(false);
    setDevice(&picture);
}

void PagePictureSurface::KeepPage()
{
    flush();
    painter->end();
    m_kept.push_back(picture);
    restart();
    home();
}

void PagePictureSurface::KeepLastPage()
{
    flush();
    painter->end();
    m_kept.push_back(picture);
    restart();
}

QImage RenderPage(const QPicture& page, const PageMetrics& metrics, double dpi)
{
    QImage image(static_cast<int>(metrics.printableWidth * dpi + 0.5),
                 static_cast<int>(metrics.printableHeight * dpi + 0.5), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double scale = dpi / page.logicalDpiX();
    p.scale(scale, scale);
    p.drawPicture(0, 0, page);
    return image;
}

}  // namespace brisden
