#include "report/PageComposer.h"

#include "report/ReportNumbers.h"
#include "ui/Interaction.h"

#include <algorithm>
#include <cmath>

namespace brisden {

namespace {

constexpr std::int32_t kCentred = 999;

// A line of fixed columns as Tab(n) builds it: text continues at column n
// (counted from 1); a line already past n goes on at n of a new line.
class TabLine {
public:
    void tab(int n, const QString& text)
    {
        n = std::max(n, 1);  // Tab below column 1 means column 1
        const int column = static_cast<int>(m_current.size()) + 1;
        if (column > n) {
            m_done << m_current;
            m_current.clear();
        }
        m_current += QString(n - 1 - static_cast<int>(m_current.size()), QLatin1Char(' '));
        m_current += text;
    }
    QStringList finish()
    {
        m_done << m_current;
        return m_done;
    }

private:
    QStringList m_done;
    QString m_current;
};

}  // namespace

QString PreviewOverflowWarning()
{
    return QStringLiteral(
        "Some printed lines may have fallen below the bottom margin of the preview window.  If "
        "so, please select another font or a smaller font size, or change the printed lines "
        "per page, and try again.");
}

QString PageText(int pageNumber)
{
    return pageNumber == 0 ? QStringLiteral("Page ")
                           : QStringLiteral("Page ") + QString::number(pageNumber);
}

PageComposer::PageComposer(ReportState& report, QString programTitle, QLocale locale)
    : m_report(report), m_programTitle(std::move(programTitle)), m_locale(std::move(locale))
{
}

void PageComposer::PreparePrintSurface(IPrintSurface& printer)
{
    m_orientation = printer.Orientation();
    if (m_orientation == 0) {
        // A text device: its own character columns and lines.
        x2 = static_cast<std::int32_t>(std::lround(printer.ScaleWidth()));
        x1 = static_cast<std::int32_t>(std::lround(printer.ScaleLeft()));
        y1 = 0;
        y2 = PageBottomY = printer.ScaleHeight();
        return;
    }
    const PageMetrics page = printer.Metrics();
    const double offX = page.offsetX;
    const double offY = page.offsetY;
    const double rightU = page.physicalWidth - page.printableWidth - offX;
    const double botU = page.physicalHeight - page.printableHeight - offY;

    printer.ScaleInches();
    const double top = Margins[0] / 1000.0;
    const double bottom = Margins[1] / 1000.0;
    const double left = Margins[2] / 1000.0;
    const double right = Margins[3] / 1000.0;

    // The top margin moves the first line down unless the sheet's own
    // unprintable strip is larger.
    y1 = offY - top;
    if (y1 > 0)
        y1 = 0;
    y2 = printer.ScaleHeight() + (bottom - botU);
    if (printer.ScaleHeight() > y2)
        y2 = printer.ScaleHeight();
    PageBottomY = printer.ScaleHeight();

    // Column 0 lies at the left margin and column C at the right margin.
    const double lf = offX * 1000 >= Margins[2] ? 0.0 : (left - offX) / printer.ScaleWidth();
    const double rf = rightU * 1000 >= Margins[3] ? 0.0 : (right - rightU) / printer.ScaleWidth();
    const double columns = m_orientation == 2 ? 132 : 80;
    x1 = static_cast<std::int32_t>(std::lround(-(lf * columns)));
    x2 = static_cast<std::int32_t>(std::lround(rf * columns + columns));
}

void PageComposer::ApplyScale()
{
    m_surface->Scale(x1, y1, x2, y2);
    PageTopY = m_surface->CurrentY();
    LastLineY = PageBottomY - m_surface->TextHeight(QStringLiteral("I"));
}

void PageComposer::PrintTabbedLine(const std::vector<std::int32_t>& tabStops,
                                   const QStringList& texts)
{
    IPrintSurface& s = *m_surface;
    for (std::size_t i = 0; i < tabStops.size(); ++i) {
        const QString t = static_cast<qsizetype>(i) < texts.size() ? texts[static_cast<qsizetype>(i)]
                                                                   : QString();
        if (t == QLatin1String("\r")) {
            s.EndLine();
            continue;
        }
        const std::int32_t stop = tabStops[i];
        if (stop == kCentred) {
            double x = (s.ScaleWidth() + 2 * s.ScaleLeft() - s.TextWidth(t)) / 2;
            s.setCurrentX(x < s.ScaleLeft() ? s.ScaleLeft() : x);
        } else if (stop >= 0) {
            s.setCurrentX(stop);
        } else {
            // Right-aligned: the text ends at column -stop, but never starts
            // left of the page.
            const double x = -stop - s.TextWidth(t);
            s.setCurrentX(x < s.ScaleLeft() ? s.ScaleLeft() : x);
        }
        s.Print(t, false);
    }
    const bool open = texts.size() == static_cast<qsizetype>(tabStops.size()) + 1 &&
                      texts.last() == QLatin1String(";");
    if (!open)
        s.EndLine();
}

void PageComposer::PrintBlankLines(int count)
{
    for (int i = 0; i < count; ++i)
        m_surface->EndLine();
}

void PageComposer::PrintAtColumn(int n, const QString& text)
{
    IPrintSurface& s = *m_surface;
    n = std::max(n, 1);
    const double x = s.ScaleLeft() + (n - 1) * s.TextWidth(QStringLiteral("0"));
    if (s.CurrentX() > x + 1e-9)
        s.EndLine();
    s.setCurrentX(x);
    s.Print(text, false);
}

void PageComposer::PrintCentred(const QString& text)
{
    IPrintSurface& s = *m_surface;
    const double x = (s.ScaleWidth() + 2 * s.ScaleLeft() - s.TextWidth(text)) / 2;
    s.setCurrentX(x < s.ScaleLeft() ? s.ScaleLeft() : x);
    s.Print(text, true);
}

QString PageComposer::dateText() const
{
    const QDateTime now = m_clock ? m_clock() : QDateTime::currentDateTime();
    return m_locale.toString(now.date(), ReportDateFormat(m_locale));
}

QString PageComposer::timeText() const
{
    const QDateTime now = m_clock ? m_clock() : QDateTime::currentDateTime();
    QString format = m_locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return m_locale.toString(now.time(), format.trimmed());
}

QStringList PageComposer::FileHeaderLines() const
{
    const auto centredColumn = [](const QString& text) {
        return 41 - static_cast<int>((text.size() + 1) / 2);
    };
    const QString page = PageText(m_report.PageNumber);
    QStringList lines;
    TabLine one;
    one.tab(3, dateText());
    one.tab(centredColumn(m_programTitle), m_programTitle);
    one.tab(71, timeText());
    lines << one.finish();
    TabLine two;
    two.tab(centredColumn(m_report.ReportTitle), m_report.ReportTitle);
    two.tab(71, page);
    lines << two.finish();
    TabLine three;
    three.tab(centredColumn(m_report.ReportSubtitle), m_report.ReportSubtitle);
    lines << three.finish();
    lines << QString();
    return lines;
}

void PageComposer::PrintPageHeader(int topLines)
{
    PrintBlankLines(topLines);
    const QString page = PageText(m_report.PageNumber);
    if (m_orientation == 0) {
        const auto centredColumn = [](const QString& text) {
            return 41 - static_cast<int>((text.size() + 1) / 2);
        };
        PrintAtColumn(3, dateText());
        PrintAtColumn(centredColumn(m_programTitle), m_programTitle);
        PrintAtColumn(71, timeText());
        m_surface->EndLine();
        PrintAtColumn(centredColumn(m_report.ReportTitle), m_report.ReportTitle);
        PrintAtColumn(71, page);
        m_surface->EndLine();
        const QString subtitle = m_report.ReportSubtitle.left(80);
        PrintAtColumn(centredColumn(subtitle), subtitle);
        m_surface->EndLine();
    } else {
        std::vector<std::int32_t>& layout =
            m_orientation == 2 ? m_headerLandscape : m_headerPortrait;
        if (layout.empty()) {
            const std::int32_t r = m_orientation == 2 ? 131 : 79;
            layout = {0, kCentred, -r, 0, kCentred, -r, 0, kCentred};
        }
        PrintTabbedLine(layout, headerTexts(page));
    }
    m_surface->EndLine();
}

QStringList PageComposer::headerTexts(const QString& page) const
{
    return {dateText(),
            m_programTitle,
            timeText(),
            QStringLiteral("\r"),
            m_report.ReportTitle,
            page,
            QStringLiteral("\r"),
            m_report.ReportSubtitle};
}

void PageComposer::StartNewPage()
{
    IPrintSurface& s = *m_surface;
    if (s.CurrentY() == PageTopY)
        return;
    if (s.NewPage())
        return;
    // The preview's page picture: its page is kept and the picture cleared.
    if (s.CurrentY() > PageBottomY)
        PreviewOverflow = true;
    s.KeepPage();
}

bool PageComposer::pastLastLine(int reserve) const
{
    return m_surface->CurrentY() > LastLineY - reserve * lineHeight();
}

void PageComposer::ShowPrintPreview(ui::IMessageBox* messages, ui::ILogSink* log,
                                    const std::function<void()>& showPreview,
                                    const std::function<void()>& closePreview)
{
    IPrintSurface* s = m_surface;
    m_surface = nullptr;
    if (!s || !s->IsPreview())
        return;
    if (s->KeptPages() == 0 && s->CurrentY() == PageTopY) {
        if (closePreview)
            closePreview();
        return;
    }
    if (s->CurrentY() > PageBottomY)
        PreviewOverflow = true;
    if (PreviewOverflow) {
        if (log)
            log->LogSession(PreviewOverflowWarning());
        if (messages)
            messages->show(PreviewOverflowWarning(), ui::Icon::Exclamation);
    }
    s->KeepLastPage();
    if (showPreview)
        showPreview();
}

}  // namespace brisden
