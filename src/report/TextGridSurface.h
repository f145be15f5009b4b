#pragma once
// A print surface without a device: every page is a grid of characters of a
// fixed pitch, so that a laid-out page can be read back as text lines. It
// stands in for the printer (NewPage starts a sheet) or for the preview's
// page picture (NewPage fails; pages are kept by the composer).

#include "report/ScaledSurface.h"

#include <QStringList>
#include <vector>

namespace brisden {

class TextGridSurface final : public ScaledSurface {
public:
    struct Options {
        PageMetrics page;
        double charWidth = 0.1;      // inches: 10 characters per inch
        double lineHeight = 1.0 / 6;  // inches: 6 lines per inch
        int orientation = 1;
        bool preview = false;
        QString deviceName = QStringLiteral("Text grid");
    };
    explicit TextGridSurface(const Options& options);

    bool NewPage() override;
    bool EndDoc() override;
    int Orientation() const override { return m_options.orientation; }
    QString DeviceName() const override { return m_options.deviceName; }
    PrintFont Font() const override { return PrintFont{}; }

    bool IsPreview() const override { return m_options.preview; }
    void KeepPage() override;
    int KeptPages() const override { return static_cast<int>(m_pages.size()); }
    void KeepLastPage() override { m_pages.push_back(m_current); }

    // Finished pages (sheets sent, or pages kept), and the page being printed.
    const std::vector<QStringList>& pages() const { return m_pages; }
    const QStringList& currentPage() const { return m_current; }
    // Every finished page, pages separated by a line "\f".
    QString text() const;

protected:
    double textWidthInches(const QString& text) const override;
    double lineHeightInches() const override { return m_options.lineHeight; }
    void drawText(double xInches, double yInches, const QString& text) override;

private:
    Options m_options;
    std::vector<QStringList> m_pages;
    QStringList m_current;
};

}  // namespace brisden
