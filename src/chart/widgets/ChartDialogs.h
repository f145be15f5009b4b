#pragma once
// The two small dialogs of the chart window: frmChartColor ("Chart colors"),
// the four colours of the chart with saving and restoring the defaults, and
// frmChartPrint ("Chart printing options"), orientation and fitting to the
// page before the chart goes to the graphics printer.

#include "chart/ChartDocument.h"

#include <QColor>
#include <QDialog>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace brisden {
class Settings;
namespace ui {
class IHelp;
}
}  // namespace brisden

namespace brisden::chart {

// The colour picker: the chosen colour, nullopt when cancelled.
using PickColour = std::function<std::optional<QColor>(const QColor& initial, QWidget* parent)>;
// The platform's colour dialog offered with the program's 16 custom colours.
std::optional<QColor> PickColourWithDialog(const QColor& initial, QWidget* parent);

class ChartColorDialog final : public QDialog {
    Q_OBJECT
public:
    // settings and iniPath receive "Save as default".
    ChartColorDialog(Settings& settings, QString iniPath, QWidget* parent = nullptr);

    void setHelp(ui::IHelp* help) { m_help = help; }
    void setPickColour(PickColour pick) { m_pick = std::move(pick); }

    // Shows the dialog with the chart's colours; the colours to apply after
    // OK, nullopt after Cancel.
    std::optional<ChartColours> choose(const ChartColours& current);

    ChartColours swatches() const { return m_swatches; }
    void setSwatches(const ChartColours& colours);

    // Controls (tests).
    QPushButton* cmdColor[4] = {};
    QPushButton* Command1[4] = {};  // OK, Cancel, Save as default, Restore default
    QPushButton* cmdHelp = nullptr;

    // "&Save as default" and "&Restore default".
    void saveAsDefault();
    void restoreDefault();

private:
    void pickSwatch(int index);
    ChartColour& swatch(int index);

    Settings& m_settings;
    QString m_iniPath;
    ui::IHelp* m_help = nullptr;
    PickColour m_pick;
    ChartColours m_swatches;
};

class ChartPrintDialog final : public QDialog {
    Q_OBJECT
public:
    explicit ChartPrintDialog(QWidget* parent = nullptr);

    void setHelp(ui::IHelp* help) { m_help = help; }
    // "Printer properties" runs this.
    void setShowPrinterProperties(std::function<void()> show) { m_properties = std::move(show); }
    void setDevice(const QString& name);

    bool landscape() const;
    bool stretch() const;

    QRadioButton* optOrientation[2] = {};
    QCheckBox* chkStretch = nullptr;
    QLabel* lblDevice = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command1[2] = {};
    QPushButton* cmdHelp = nullptr;

private:
    ui::IHelp* m_help = nullptr;
    std::function<void()> m_properties;
};

}  // namespace brisden::chart
