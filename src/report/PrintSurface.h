#pragma once
// What a printed report is drawn on: the printer's page, or one page picture
// of the print preview. Positions follow the printer object's conventions:
// before scaling, units are inches with (0, 0) at the top left of the
// printable area; Scale maps the printable area onto (x1, y1)-(x2, y2).
// Printing a text draws it with its top left at (CurrentX, CurrentY) and
// moves CurrentX past it; ending the line moves to the left scale edge of the
// next line.

#include <QString>

namespace brisden {

// The page of the selected printer, in inches.
struct PageMetrics {
    double physicalWidth = 8.5;  // the sheet
    double physicalHeight = 11.0;
    double offsetX = 0.25;  // printable area from the sheet's left and top edges
    double offsetY = 0.25;
    double printableWidth = 8.0;
    double printableHeight = 10.5;
};

struct PrintFont {
    QString name = QStringLiteral("Courier New");
    double size = 10;  // points
    bool bold = false;
    bool italic = false;
};

class IPrintSurface {
public:
    virtual ~IPrintSurface() = default;

    virtual double CurrentX() const = 0;
    virtual double CurrentY() const = 0;
    virtual void setCurrentX(double x) = 0;
    virtual void setCurrentY(double y) = 0;

    virtual double ScaleLeft() const = 0;
    virtual double ScaleTop() const = 0;
    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;
    // Back to inches over the printable area (ScaleMode 5); the print
    // position goes to the top left.
    virtual void ScaleInches() = 0;
    virtual void Scale(double x1, double y1, double x2, double y2) = 0;

    virtual double TextWidth(const QString& text) const = 0;
    virtual double TextHeight(const QString& text) const = 0;

    // Prints text at the current position; endLine then ends the line.
    virtual void Print(const QString& text, bool endLine) = 0;
    void EndLine() { Print(QString(), true); }

    // Starts a new sheet; false when the surface cannot (a preview page).
    virtual bool NewPage() = 0;
    // Ends the document; false when this is no printer document.
    virtual bool EndDoc() = 0;

    // 1 portrait, 2 landscape; 0 for a device that reports none (a text
    // printer addressed in character columns).
    virtual int Orientation() const = 0;
    virtual QString DeviceName() const = 0;
    virtual PageMetrics Metrics() const = 0;
    virtual PrintFont Font() const = 0;

    // The preview's page picture: keeps the current picture as the next page
    // and clears it (Cls). Nothing on a printer.
    virtual bool IsPreview() const { return false; }
    virtual void KeepPage() {}
    // Pages kept so far (preview only).
    virtual int KeptPages() const { return 0; }
    // Stores the current picture as the last page without clearing it.
    virtual void KeepLastPage() {}
};

}  // namespace brisden
