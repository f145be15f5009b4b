#pragma once
// What the preferences dialog edits, without the widgets: one value per
// control, filled from the settings when the dialog opens and stored back
// (every key, in its fixed order) when the user confirms. Also the dialog's
// pages with their keyboard order and help topics, the key filters of its
// number boxes, the printer lists and the defaults of the data grid page.

#include "shell/Settings.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace brisden::prefs {

// The pages of the dialog, in order.
enum Page : int {
    PageGeneral = 0,
    PageDataGrid = 1,
    PageTextPrinter = 2,
    PageReportLayouts = 3,
    PageGraphicsPrinter = 4,
};
constexpr int PageCount = 5;

QString PageCaption(int page);
// The controls that take the keyboard focus on a page, in tab order, by
// object name; the first one gets the focus when the page is selected. The
// dialog's buttons ("Commands_0" OK, "Commands_1" Cancel, "cmdHelp") close
// every page's list.
QStringList TabOrder(int page);
// The manual's topic for a page (ui::HelpTopic).
int HelpTopicOfPage(int page);

// A font as the dialog shows it in its labels.
struct FontChoice {
    QString name;
    double size = 0;  // points
    bool bold = false;
    bool italic = false;
    bool operator==(const FontChoice&) const = default;
};

// The style label of a font: "B," when bold and "I" when italic, joined
// ("B,I" for both, "" for neither).
QString StyleFlags(bool bold, bool italic);
// Reading a style label back: bold when it holds a "B", italic with an "I".
bool StyleBold(const QString& flags);
bool StyleItalic(const QString& flags);
// A point size as the labels show it and the settings keep it: "10", "10.5".
QString FontSizeText(double size);

// The colour buttons of the data grid page, in button order: normal cell,
// normal text, negative text, current row, ambiguous row, grid lines, fixed
// cells; and what "reset to defaults" gives them.
constexpr int GridColourCount = 7;
constexpr std::array<Settings::Colour, GridColourCount> GridColourDefaults = {
    0x80000005, 0x80000008, 0x000000FF, 0x0080FF80, 0x00B4FFFF, 0x8000000F, 0x8000000F};
// The grid font after "reset to defaults".
FontChoice DefaultGridFont();
constexpr int DefaultGridLineWidth = 1;

// The sixteen custom colours every colour chooser of the program offers
// (0x00BBGGRR).
constexpr std::array<Settings::Colour, 16> CustomColours = {
    0xB4FFFF, 0xE1FFFF, 0xEEFFFF, 0xEEF5FF, 0xE6F0FA, 0xF0FAFF, 0xCCCCCC, 0xE6E6E6,
    0xFFF8F0, 0xFFFFE6, 0xFAE6E6, 0xE6E0B0, 0xF5F0FF, 0xE1E4FF, 0xD8BFD8, 0xF0FFF0};

// One value per control of the dialog.
struct PreferencesForm {
    // General
    QString Text1;               // portfolio opened at start
    std::array<bool, 9> Check{};  // Check1 ... Check9
    QString Text3;               // backup every ... minutes
    // Data grid
    std::array<Settings::Colour, GridColourCount> cmdColor{};
    QString Text5;  // grid line width in pixels
    FontChoice gridFont;
    // Text printer
    QString textDevice;  // the printer chosen in the device list
    std::array<QString, 2> Text4;  // init and reset codes, "27,64"
    FontChoice textFont;
    // Report layouts
    std::int16_t orientation = 1;   // 1 portrait, 2 landscape
    std::array<QString, 4> Text2;  // listing: page break, top lines; basis: the same
    std::array<int, 4> margins{};  // top, bottom, left, right, thousandths of an inch
    // Graphics printer
    QString graphicsDevice;
    bool operator==(const PreferencesForm&) const = default;
};

// Index of each check box in PreferencesForm::Check.
enum CheckBox : int {
    CheckLegend = 0,         // Check1
    CheckGridControl = 1,    // Check2
    CheckRememberSizes = 2,  // Check3
    CheckConfirm = 3,        // Check4
    CheckShowHelp = 4,       // Check5
    CheckRTRight = 5,        // Check6
    CheckTickmoor = 6,       // Check7
    CheckBackupOnOpen = 7,   // Check8
    CheckEnterAdvances = 8,  // Check9
};

// The controls as the settings fill them. currentGridFont is the font the
// grid shows now (the settings may name none).
PreferencesForm FillForm(const Settings& settings, const FontChoice& currentGridFont);

// "Click to reset this tab to defaults": colours, line width and font of the
// data grid page.
void ResetGridPage(PreferencesForm& form);

// The dialog's answer to the main window.
namespace tag {
inline const QString Fill = QStringLiteral("A");      // fill the controls from the settings
inline const QString Reapply = QStringLiteral("R");   // the grid's look changed
inline const QString MoveColumn = QStringLiteral("I");  // the record type column changed sides
}  // namespace tag

// "OK": stores every value in the settings and writes each key to the
// settings file, section by section in the fixed order. firstRowHeightTwips
// is the height of the grid's first data row (kept when column and row sizes
// are remembered). tagIn is the dialog's tag so far ("R" after a colour or
// font choice or a reset); the result is the tag to hand back.
QString StoreForm(const PreferencesForm& form, Settings& settings, int firstRowHeightTwips,
                  const QString& iniPath, const QString& tagIn);

// Key filters of the number boxes: the characters each box accepts.
enum class TextFilter {
    Decimal,   // page break and top lines: digits and "."
    Digits,    // minutes, line width: digits
    ByteList,  // printer codes: digits and ","
};
// Whether a key press with this character reaches the box (backspace, tab
// and line feed always do; carriage return only in the code boxes).
bool AcceptKey(TextFilter filter, char16_t key);
// The text without the characters the filter refuses (for pasted text).
QString FilterText(TextFilter filter, const QString& text);

// A printer list: the installed printers in the system's order, the default
// one marked " (Default)", and the entry to select (the current choice, else
// the default printer, else the first; -1 for an empty list).
struct PrinterList {
    QStringList entries;  // as shown
    QStringList names;    // the printer names behind them
    int selected = -1;
};
PrinterList BuildPrinterList(const QStringList& installed, const QString& defaultPrinter,
                             const QString& currentChoice);

// Texts of the settings file.
QString FormatByteList(const QByteArray& bytes);            // "27,64"
QString FormatMargins(const std::array<int, 4>& margins);  // "500 500 750 750 "
QString MarginInches(int thousandths);                      // "0.75"

// Column widths when the record type column moves to the other end: each
// width stays with its column.
std::array<int, 11> RotateColumnWidths(const std::array<int, 11>& widths, bool toLeft);

}  // namespace brisden::prefs
