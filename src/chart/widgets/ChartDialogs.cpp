#include "chart/widgets/ChartDialogs.h"

#include "chart/render/ChartRender.h"
#include "shell/IniFile.h"
#include "shell/Settings.h"
#include "ui/Help.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace brisden::chart {

std::optional<QColor> PickColourWithDialog(const QColor& initial, QWidget* parent)
{
    // The program's own custom colours: the chart colours and a few lighter ones.
    static const QRgb custom[16] = {0xC0C0C0, 0xFFFFEE, 0xFFFFE1, 0xFFFFFF, 0xE0E0E0, 0xA0A0A0,
                                    0x808080, 0x404040, 0xF0F8FF, 0xE6F0FA, 0xFAF0E6, 0xF5F5DC,
                                    0xE0FFE0, 0xFFE0E0, 0xE0E0FF, 0xFFF0C0};
    for (int i = 0; i < 16; ++i)
        QColorDialog::setCustomColor(i, QColor(custom[i]));
    const QColor chosen = QColorDialog::getColor(initial, parent, QStringLiteral("Color"));
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

namespace {

void ShowSwatch(QPushButton* button, ChartColour colour)
{
    const QColor c = ToQColor(colour);
    button->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid #555;")
                              .arg(c.name()));
    button->setProperty("colour", c);
}

const char* const ColourKeys[4] = {"ChartBackDropColor", "PlotBackDropColor", "PlotWallColor",
                                   "PlotBaseColor"};

}  // namespace

ChartColorDialog::ChartColorDialog(Settings& settings, QString iniPath, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_iniPath(std::move(iniPath)), m_pick(PickColourWithDialog)
{
    setObjectName(QStringLiteral("frmChartColor"));
    setWindowTitle(QStringLiteral("Chart colors"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Click to change:"), this));
    auto* grid = new QGridLayout;
    const QString captions[4] = {QStringLiteral("Chart backdrop:"), QStringLiteral("Plot backdrop:"),
                                 QStringLiteral("Plot wall:"),
                                 QStringLiteral("Plot base (3D charts):")};
    for (int i = 0; i < 4; ++i) {
        cmdColor[i] = new QPushButton(this);
        cmdColor[i]->setObjectName(QStringLiteral("cmdColor%1").arg(i));
        cmdColor[i]->setFixedSize(64, 24);
        cmdColor[i]->setAccessibleName(captions[i]);
        grid->addWidget(new QLabel(captions[i], this), i, 0);
        grid->addWidget(cmdColor[i], i, 1);
        connect(cmdColor[i], &QPushButton::clicked, this, [this, i] { pickSwatch(i); });
    }
    layout->addLayout(grid);
    auto* note = new QLabel(QStringLiteral(
                                "To change the color of individual series, select the series "
                                "itself, then right-click and select 'Change color'."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    auto* buttons = new QHBoxLayout;
    const QString names[4] = {QStringLiteral("&OK"), QStringLiteral("&Cancel"),
                              QStringLiteral("&Save as default"),
                              QStringLiteral("&Restore default")};
    for (int i = 0; i < 4; ++i) {
        Command1[i] = new QPushButton(names[i], this);
        Command1[i]->setObjectName(QStringLiteral("Command1_%1").arg(i));
        buttons->addWidget(Command1[i]);
    }
    cmdHelp = new QPushButton(QStringLiteral("&Help"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    buttons->addWidget(cmdHelp);
    layout->addLayout(buttons);
    Command1[0]->setDefault(true);
    connect(Command1[0], &QPushButton::clicked, this, &QDialog::accept);
    connect(Command1[1], &QPushButton::clicked, this, &QDialog::reject);
    connect(Command1[2], &QPushButton::clicked, this, &ChartColorDialog::saveAsDefault);
    connect(Command1[3], &QPushButton::clicked, this, &ChartColorDialog::restoreDefault);
    connect(cmdHelp, &QPushButton::clicked, this, [this] {
        if (m_help)
            m_help->ShowHelpTopic(ui::HelpChartColours);
    });
}

ChartColour& ChartColorDialog::swatch(int index)
{
    switch (index) {
        case 0:
            return m_swatches.ChartBackDrop;
        case 1:
            return m_swatches.PlotBackDrop;
        case 2:
            return m_swatches.PlotWall;
        default:
            return m_swatches.PlotBase;
    }
}

void ChartColorDialog::setSwatches(const ChartColours& colours)
{
    m_swatches = colours;
    for (int i = 0; i < 4; ++i)
        ShowSwatch(cmdColor[i], swatch(i));
}

void ChartColorDialog::pickSwatch(int index)
{
    if (const auto chosen = m_pick(ToQColor(swatch(index)), this)) {
        swatch(index) = FromQColor(*chosen);
        ShowSwatch(cmdColor[index], swatch(index));
    }
}

std::optional<ChartColours> ChartColorDialog::choose(const ChartColours& current)
{
    setSwatches(current);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return m_swatches;
}

void ChartColorDialog::saveAsDefault()
{
    QString* targets[4] = {&m_settings.ChartBackDropColor, &m_settings.PlotBackDropColor,
                           &m_settings.PlotWallColor, &m_settings.PlotBaseColor};
    for (int i = 0; i < 4; ++i) {
        const QString text = Settings::FormatColour(swatch(i));
        *targets[i] = text;
        WriteINI(QStringLiteral("Colors"), QLatin1String(ColourKeys[i]), text, m_iniPath);
    }
}

void ChartColorDialog::restoreDefault()
{
    setSwatches(ColoursFromSettings(m_settings.ChartBackDropColor, m_settings.PlotBackDropColor,
                                    m_settings.PlotWallColor, m_settings.PlotBaseColor));
}

ChartPrintDialog::ChartPrintDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmChartPrint"));
    setWindowTitle(QStringLiteral("Chart printing options"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* device = new QHBoxLayout;
    device->addWidget(new QLabel(QStringLiteral("Device:"), this));
    lblDevice = new QLabel(this);
    lblDevice->setObjectName(QStringLiteral("lblDevice"));
    device->addWidget(lblDevice, 1);
    layout->addLayout(device);
    auto* orientation = new QGroupBox(QStringLiteral("Orientation"), this);
    auto* orientationLayout = new QHBoxLayout(orientation);
    optOrientation[0] = new QRadioButton(QStringLiteral("Portrait"), orientation);
    optOrientation[1] = new QRadioButton(QStringLiteral("Landscape"), orientation);
    for (int i = 0; i < 2; ++i) {
        optOrientation[i]->setObjectName(QStringLiteral("optOrientation%1").arg(i));
        orientationLayout->addWidget(optOrientation[i]);
    }
    optOrientation[0]->setChecked(true);
    layout->addWidget(orientation);
    chkStretch = new QCheckBox(QStringLiteral("Stretch/shrink chart to fit paper size"), this);
    chkStretch->setObjectName(QStringLiteral("chkStretch"));
    chkStretch->setChecked(true);
    layout->addWidget(chkStretch);
    auto* note = new QLabel(QStringLiteral("Make sure the printer is ready, and then click 'OK'."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    auto* buttons = new QHBoxLayout;
    Command3 = new QPushButton(QStringLiteral("Printer properties"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command1[0] = new QPushButton(QStringLiteral("&OK"), this);
    Command1[0]->setObjectName(QStringLiteral("Command1_0"));
    Command1[1] = new QPushButton(QStringLiteral("&Cancel"), this);
    Command1[1]->setObjectName(QStringLiteral("Command1_1"));
    cmdHelp = new QPushButton(QStringLiteral("&Help"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    buttons->addWidget(Command3);
    buttons->addStretch();
    buttons->addWidget(Command1[0]);
    buttons->addWidget(Command1[1]);
    buttons->addWidget(cmdHelp);
    layout->addLayout(buttons);
    Command1[0]->setDefault(true);
    connect(Command1[0], &QPushButton::clicked, this, &QDialog::accept);
    connect(Command1[1], &QPushButton::clicked, this, &QDialog::reject);
    connect(Command3, &QPushButton::clicked, this, [this] {
        if (m_properties)
            m_properties();
    });
    connect(cmdHelp, &QPushButton::clicked, this, [this] {
        if (m_help)
            m_help->ShowHelpTopic(ui::HelpChartPrint);
    });
}

void ChartPrintDialog::setDevice(const QString& name)
{
    lblDevice->setText(name);
}

bool ChartPrintDialog::landscape() const
{
    return optOrientation[1]->isChecked();
}

bool ChartPrintDialog::stretch() const
{
    return chkStretch->isChecked();
}

}  // namespace brisden::chart
