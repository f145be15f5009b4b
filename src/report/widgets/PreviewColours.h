#pragma once
// frmPrtPreviewColor ("Print preview colors"): the two background colours of
// the print preview, inside and outside the printable area, with the
// program's colour table as the picker's custom colours.

#include "ui/Help.h"

#include <QColor>
#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;

namespace brisden {

// Preview colours as the settings keep them ("&H" + hexadecimal of
// 0x00BBGGRR, or 0x800000nn for a system colour); empty gives the default.
constexpr std::uint32_t PreviewInsideDefault = 0x80000005;   // the window background
constexpr std::uint32_t PreviewOutsideDefault = 0x00E1FFFF;  // pale yellow
std::uint32_t PreviewColourValue(const QString& setting, std::uint32_t defaultValue);
QString PreviewColourSetting(std::uint32_t value);
QColor PreviewQColor(std::uint32_t value);

class PreviewColours final : public QDialog {
    Q_OBJECT
public:
    // iniPath: where "&Save as default" writes the two colours.
    PreviewColours(QString iniPath, ui::IHelp* help, QWidget* parent = nullptr);

    void setColours(std::uint32_t inside, std::uint32_t outside);
    std::uint32_t inside() const { return m_values[0]; }
    std::uint32_t outside() const { return m_values[1]; }
    // "0" OK, "1" Cancel.
    QString Tag;

    // The colour picker (tests answer it): the chosen colour, or invalid.
    using Picker = std::function<QColor(const QColor& current, QWidget* parent)>;
    void setPicker(Picker picker) { m_picker = std::move(picker); }

    QPushButton* command1(int index) const { return m_command1[index]; }
    QPushButton* swatch(int index) const { return m_swatch[index]; }
    // Opens the picker for swatch index (clicking the swatch does the same).
    void cmdColor(int index);

private:
    void showSwatches();

    QString m_iniPath;
    ui::IHelp* m_help;
    std::uint32_t m_values[2] = {PreviewInsideDefault, PreviewOutsideDefault};
    QPushButton* m_swatch[2] = {};
    QPushButton* m_command1[4] = {};
    Picker m_picker;
};

}  // namespace brisden
