#include "report/widgets/PreviewColours.h"

#include "shell/IniFile.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

namespace brisden {

namespace {

// The program's colour table: the picker's custom colours (0x00BBGGRR).
constexpr std::uint32_t kCustomColours[16] = {
    0xB4FFFF, 0xE1FFFF, 0xEEFFFF, 0xEEF5FF, 0xE6F0FA, 0xF0FAFF, 0xCCCCCC, 0xE6E6E6,
    0xFFF8F0, 0xFFFFE6, 0xFAE6E6, 0xE6E0B0, 0xF5F0FF, 0xE1E4FF, 0xD8BFD8, 0xF0FFF0};

QColor FromBgr(std::uint32_t v)
{
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

std::uint32_t ToBgr(const QColor& c)
{
    return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
           (static_cast<std::uint32_t>(c.blue()) << 16);
}

QColor DefaultPicker(const QColor& current, QWidget* parent)
{
    for (int i = 0; i < 16; ++i)
        QColorDialog::setCustomColor(i, FromBgr(kCustomColours[i]));
    return QColorDialog::getColor(current, parent);
}

}  // namespace

std::uint32_t PreviewColourValue(const QString& setting, std::uint32_t defaultValue)
{
    QString text = setting.trimmed();
    if (text.isEmpty())
        return defaultValue;
    if (!text.startsWith(QLatin1String("&H"), Qt::CaseInsensitive))
        return static_cast<std::uint32_t>(text.toLongLong());
    text = text.mid(2);
    qsizetype digits = 0;
    while (digits < text.size() && std::isxdigit(text[digits].toLatin1()))
        ++digits;
    return static_cast<std::uint32_t>(text.left(digits).toULongLong(nullptr, 16));
}

QString PreviewColourSetting(std::uint32_t value)
{
    return QStringLiteral("&H") + QString::number(value, 16).toUpper();
}

QColor PreviewQColor(std::uint32_t value)
{
    if (value & 0x80000000u) {
        // System colours: 5 is the window background; the rest as the
        // palette's nearest roles.
        const QPalette palette;
        switch (value & 0xFF) {
            case 5:
                return palette.color(QPalette::Base);
            case 8:
                return palette.color(QPalette::Text);
            case 15:
                return palette.color(QPalette::Button);
            default:
                return palette.color(QPalette::Window);
        }
    }
    return FromBgr(value);
}

PreviewColours::PreviewColours(QString iniPath, ui::IHelp* help, QWidget* parent)
    : QDialog(parent), m_iniPath(std::move(iniPath)), m_help(help), m_picker(DefaultPicker)
{
    setObjectName(QStringLiteral("frmPrtPreviewColor"));
    setWindowTitle(QStringLiteral("Print preview colors"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Click to change:"), this));
    auto* grid = new QGridLayout;
    const char* captions[2] = {"Inside printable area:", "Outside non-printable area:"};
    for (int i = 0; i < 2; ++i) {
        grid->addWidget(new QLabel(QString::fromLatin1(captions[i]), this), i, 0);
        m_swatch[i] = new QPushButton(this);
        m_swatch[i]->setObjectName(QStringLiteral("lblColor%1").arg(i));
        m_swatch[i]->setFixedSize(60, 24);
        m_swatch[i]->setFlat(true);
        m_swatch[i]->setAutoFillBackground(true);
        connect(m_swatch[i], &QPushButton::clicked, this, [this, i] { cmdColor(i); });
        grid->addWidget(m_swatch[i], i, 1);
    }
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    const char* texts[4] = {"&OK", "&Cancel", "&Save as default", "&Restore default"};
    for (int i = 0; i < 4; ++i) {
        m_command1[i] = new QPushButton(QString::fromLatin1(texts[i]), this);
        m_command1[i]->setObjectName(QStringLiteral("Command1_%1").arg(i));
        buttons->addWidget(m_command1[i]);
    }
    auto* helpButton = new QPushButton(QStringLiteral("&Help"), this);
    helpButton->setObjectName(QStringLiteral("cmdHelp"));
    buttons->addWidget(helpButton);
    layout->addLayout(buttons);
    m_command1[0]->setDefault(true);

    connect(m_command1[0], &QPushButton::clicked, this, [this] {
        Tag = QStringLiteral("0");
        accept();
    });
    connect(m_command1[1], &QPushButton::clicked, this, [this] {
        Tag = QStringLiteral("1");
        reject();
    });
    connect(m_command1[2], &QPushButton::clicked, this, [this] {
        WriteINI(QStringLiteral("Colors"), QStringLiteral("PrintPreviewInsideColor"),
                 PreviewColourSetting(m_values[0]), m_iniPath);
        WriteINI(QStringLiteral("Colors"), QStringLiteral("PrintPreviewOutsideColor"),
                 PreviewColourSetting(m_values[1]), m_iniPath);
    });
    connect(m_command1[3], &QPushButton::clicked, this,
            [this] { setColours(PreviewInsideDefault, PreviewOutsideDefault); });
    connect(helpButton, &QPushButton::clicked, this, [this] {
        if (m_help)
            m_help->ShowHelpTopic(ui::HelpPreviewColours);
    });
    showSwatches();
}

void PreviewColours::setColours(std::uint32_t inside, std::uint32_t outside)
{
    m_values[0] = inside;
    m_values[1] = outside;
    showSwatches();
}

void PreviewColours::showSwatches()
{
    for (int i = 0; i < 2; ++i) {
        QPalette palette = m_swatch[i]->palette();
        palette.setColor(QPalette::Button, PreviewQColor(m_values[i]));
        m_swatch[i]->setPalette(palette);
        m_swatch[i]->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid gray;")
                                       .arg(PreviewQColor(m_values[i]).name()));
    }
}

void PreviewColours::cmdColor(int index)
{
    const QColor chosen = m_picker(PreviewQColor(m_values[index]), this);
    if (!chosen.isValid())
        return;
    m_values[index] = ToBgr(chosen);
    showSwatches();
}

}  // namespace brisden
