#pragma once
// The coordinate bookkeeping every print surface shares: the scale over the
// printable area, the print position, and the conversion of scaled positions
// to inches on the page. A concrete surface measures and draws text in inches.

#include "report/PrintSurface.h"

namespace brisden {

class ScaledSurface : public IPrintSurface {
public:
    double CurrentX() const override { return m_x; }
    double CurrentY() const override { return m_y; }
    void setCurrentX(double x) override { m_x = x; }
    void setCurrentY(double y) override { m_y = y; }

    double ScaleLeft() const override { return m_left; }
    double ScaleTop() const override { return m_top; }
    double ScaleWidth() const override { return m_width; }
    double ScaleHeight() const override { return m_height; }
    void ScaleInches() override;
    // The print position keeps its value: (0, 0) stays the home position of
    // every page (the top left corner inside the margins).
    void Scale(double x1, double y1, double x2, double y2) override;

    double TextWidth(const QString& text) const override;
    double TextHeight(const QString& text) const override;
    void Print(const QString& text, bool endLine) override;

    PageMetrics Metrics() const override { return m_page; }

protected:
    explicit ScaledSurface(const PageMetrics& page) : m_page(page) { ScaleInches(); }

    // Measuring and drawing in inches from the printable area's top left.
    virtual double textWidthInches(const QString& text) const = 0;
    virtual double lineHeightInches() const = 0;
    virtual void drawText(double xInches, double yInches, const QString& text) = 0;

    // The print position at the top of a fresh page.
    void home() { m_x = m_y = 0; }
    double toInchesX(double x) const { return (x - m_left) / m_width * m_page.printableWidth; }
    double toInchesY(double y) const { return (y - m_top) / m_height * m_page.printableHeight; }

    PageMetrics m_page;

private:
    double m_x = 0, m_y = 0;
    double m_left = 0, m_top = 0, m_width = 1, m_height = 1;
};

}  // namespace brisden
