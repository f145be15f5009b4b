#include "report/paint/PdfSurface.h"

#include <QLocale>

namespace brisden {

QPageLayout PdfSurface::Layout(int orientation)
{
    const QPageSize paper(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem
                              ? QPageSize::Letter
                              : QPageSize::A4);
    return QPageLayout(paper,
                       orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
}

PdfSurface::PdfSurface(const QString& path, int orientation, const PrintFont& font,
                       const QString& title)
    : m_writer(path)
{
    m_writer.setResolution(600);
    m_writer.setTitle(title);
    m_writer.setCreator(title);
    const QPageLayout layout = Layout(orientation);
    m_writer.setPageLayout(layout);
    m_ok = m_painter.begin(&m_writer);
    m_surface = std::make_unique<PainterSurface>(m_painter, &m_writer, MetricsOf(layout),
                                                 m_writer.resolution(), font,
                                                 orientation == 2 ? 2 : 1, QStringLiteral("PDF"));
}

}  // namespace brisden
