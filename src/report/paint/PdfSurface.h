#pragma once
// A report printed into a PDF file: the same pages the printer would get,
// on a sheet of the system's paper size with a quarter inch all round that
// stands for a printer's unprintable strips.

#include "report/paint/PainterSurface.h"

#include <QPdfWriter>

namespace brisden {

class PdfSurface {
public:
    // orientation: 1 portrait, 2 landscape.
    PdfSurface(const QString& path, int orientation, const PrintFont& font, const QString& title);
    bool ok() const { return m_ok; }
    PainterSurface& surface() { return *m_surface; }
    // The page of the PDF sheet for the system's paper.
    static QPageLayout Layout(int orientation);

private:
    QPdfWriter m_writer;
    QPainter m_painter;
    std::unique_ptr<PainterSurface> m_surface;
    bool m_ok = false;
};

}  // namespace brisden
