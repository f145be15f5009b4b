#include "prefs/widgets/frmPelmarOptions.h"

#include "grid/widgets/GridColours.h"
#include "report/widgets/TextPrinter.h"
#include "ui/widgets/FileDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QCompleter>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

namespace brisden::prefs {

namespace {

// The property that tells a number box's filter.
constexpr const char* FilterProperty = "brisdenTextFilter";

Settings::Colour FromQColor(const QColor& c)
{
    return Settings::Colour(c.red()) | (Settings::Colour(c.green()) << 8) |
           (Settings::Colour(c.blue()) << 16);
}

QLabel* Caption(const QString& text, QWidget* buddy = nullptr)
{
    auto* label = new QLabel(text);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

QLineEdit* NumberBox(const char* name, int characters)
{
    auto* box = new QLineEdit;
    box->setObjectName(QLatin1String(name));
    box->setMaxLength(characters);
    box->setAlignment(Qt::AlignRight);
    const int width = box->fontMetrics().horizontalAdvance(QString(characters + 2, u'0'));
    box->setFixedWidth(width + 12);
    return box;
}

QString FontNameAndSize(const FontChoice& font)
{
    return font.name + QStringLiteral(", ") + FontSizeText(font.size);
}

}  // namespace

// ---------------------------------------------------------------------------
// The system's dialogs

PreferencesServices SystemServices()
{
    PreferencesServices s;
    s.installedPrinters = [] { return QPrinterInfo::availablePrinterNames(); };
    s.defaultPrinter = [] { return QPrinterInfo::defaultPrinterName(); };
    s.printerProperties = [](const QString& name, QWidget* owner) {
        ShowPrinterProperties(name, owner);
    };
    s.pageSetup = [](const QString& name, std::array<int, 4>& margins, std::int16_t& orientation,
                     QWidget* owner, QString& error) {
        QPrinter printer;
        std::int16_t chosen = orientation;
        const int found = SelectPrinterByName(printer, name, chosen);
        if (found == PrinterOrientationRefused) {
            error = QStringLiteral("The chosen printer, ") + name +
                    QStringLiteral(", doesn't support the orientation chosen.");
            return false;
        }
        if (found >= int(QPrinterInfo::availablePrinterNames().size())) {
            error = QStringLiteral("The chosen printer: ") + name +
                    QStringLiteral(" is not available, please try another.");
            return false;
        }
        if (!PageSetup(printer, margins, owner))
            return false;
        orientation =
            printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
        return true;
    };
    s.chooseColour = [](const QColor& initial, QWidget* owner) -> std::optional<QColor> {
        for (size_t i = 0; i < CustomColours.size(); ++i)
            QColorDialog::setCustomColor(int(i), grid::ToQColor(CustomColours[i], QPalette()));
        // Qt's own chooser: the desktop's may not show the custom colours.
        const QColor chosen = QColorDialog::getColor(initial, owner, QString(),
                                                     QColorDialog::DontUseNativeDialog);
        if (!chosen.isValid())
            return std::nullopt;
        return chosen;
    };
    s.chooseFont = [](const FontChoice& initial, bool monospaceOnly,
                      QWidget* owner) -> std::optional<FontChoice> {
        QFont font(initial.name);
        if (initial.size > 0)
            font.setPointSizeF(initial.size);
        font.setBold(initial.bold);
        font.setItalic(initial.italic);
        // A font this desktop does not have opens on the one it shows
        // instead, in its own style (a "Book" face is not taken for italic).
        const QFontInfo shown(font);
        font.setFamily(shown.family());
        font.setStyleName(shown.styleName());
        QFontDialog dialog(owner);
        QFontDialog::FontDialogOptions options = QFontDialog::DontUseNativeDialog;
        if (monospaceOnly)
            options |= QFontDialog::MonospacedFonts;
        dialog.setOptions(options);
        // The font list follows the options when the current font is set,
        // not when the options change: the options come first.
        dialog.setCurrentFont(font);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        const QFont chosen = dialog.selectedFont();
        return FontChoice{chosen.family(), chosen.pointSizeF(), chosen.bold(), chosen.italic()};
    };
    s.choosePortfolio = [](QWidget* owner, const QString& startPath) {
        return ui::ChooseExistingOrNew(owner, QStringLiteral("Select a portfolio file"),
                                       QStringLiteral("Portfolio Files (*.DEF *.def)"),
                                       QStringLiteral("def"), startPath, false);
    };
    return s;
}

// ---------------------------------------------------------------------------
// The window

frmPelmarOptions::frmPelmarOptions(PreferencesContext context, QWidget* parent)
    : QDialog(parent), m(std::move(context)), m_services(SystemServices())
{
    setObjectName(QStringLiteral("frmPelmarOptions"));
    setWindowTitle(QStringLiteral("Preferences"));
    setModal(true);
    // A dialog of fixed size: no minimize or maximize buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    // The pages' controls make the keyboard order; the page captions answer
    // their Alt keys and Ctrl+Tab.
    m_tabs->tabBar()->setFocusPolicy(Qt::NoFocus);
    // Every page caption in sight, without scroll buttons to tab through.
    m_tabs->setUsesScrollButtons(false);
    m_tabs->addTab(buildGeneralPage(), PageCaption(PageGeneral));
    m_tabs->addTab(buildGridPage(), PageCaption(PageDataGrid));
    m_tabs->addTab(buildTextPrinterPage(), PageCaption(PageTextPrinter));
    m_tabs->addTab(buildLayoutsPage(), PageCaption(PageReportLayouts));
    m_tabs->addTab(buildGraphicsPrinterPage(), PageCaption(PageGraphicsPrinter));
    connect(m_tabs, &QTabWidget::currentChanged, this, &frmPelmarOptions::SSTab1_Click);

    const char* const commandNames[2] = {"Commands_0", "Commands_1"};
    const QString commandCaptions[2] = {QStringLiteral("OK"), QStringLiteral("Cancel")};
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (size_t i = 0; i < 2; ++i) {
        m_commands[i] = new QPushButton(commandCaptions[i]);
        m_commands[i]->setObjectName(QLatin1String(commandNames[i]));
        buttons->addWidget(m_commands[i]);
    }
    m_commands[0]->setDefault(true);
    m_cmdHelp = new QPushButton(QStringLiteral("&Help"));
    m_cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    buttons->addWidget(m_cmdHelp);
    connect(m_commands[0], &QPushButton::clicked, this, &frmPelmarOptions::OK_Click);
    connect(m_commands[1], &QPushButton::clicked, this, &frmPelmarOptions::Cancel_Click);
    connect(m_cmdHelp, &QPushButton::clicked, this, &frmPelmarOptions::cmdHelp_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* frmPelmarOptions::buildGeneralPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);

    m_text1 = new QLineEdit;
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setMinimumWidth(m_text1->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 48);
    // Paths complete as they are typed.
    auto* files = new QFileSystemModel(m_text1);
    files->setRootPath(QString());
    files->setNameFilters({QStringLiteral("*.def"), QStringLiteral("*.DEF")});
    files->setNameFilterDisables(false);
    m_text1->setCompleter(new QCompleter(files, m_text1));
    m_browse = new QPushButton(QStringLiteral("Browse..."));
    m_browse->setObjectName(QStringLiteral("Browse"));
    connect(m_browse, &QPushButton::clicked, this, &frmPelmarOptions::Browse_Click);
    grid->addWidget(Caption(QStringLiteral("On Start, open this portfolio:"), m_text1), 0, 0, 1, 2);
    grid->addWidget(m_text1, 1, 0);
    grid->addWidget(m_browse, 1, 1);

    const QString captions[9] = {
        QStringLiteral("Show Record Types legend at startup"),
        QStringLiteral("Show Grid Control Frame at startup"),
        QStringLiteral("Remember data grid column and row sizes"),
        QStringLiteral("Confirm before pasting data, clearing cells and deleting rows"),
        QStringLiteral("Show User Manual automatically at startup"),
        QStringLiteral("Display RT (Record type) column on right"),
        QStringLiteral("Run Tickmoor automatically at startup"),
        QStringLiteral("Backup investment file when opening."),
        QStringLiteral("In Edit mode, advance to next cell after Enter is pressed."),
    };
    for (size_t i = 0; i < 9; ++i) {
        m_check[i] = new QCheckBox(captions[i]);
        m_check[i]->setObjectName(QStringLiteral("Check%1").arg(i + 1));
        grid->addWidget(m_check[i], int(i) + 2, 0, 1, 2);
    }

    m_text3 = NumberBox("Text3", 5);
    filterBox(m_text3, TextFilter::Digits);
    auto* backup = new QHBoxLayout;
    backup->addWidget(Caption(QStringLiteral("Backup every"), m_text3));
    backup->addWidget(m_text3);
    backup->addWidget(new QLabel(QStringLiteral("minutes (0 = no automatic backup)")));
    backup->addStretch();
    grid->addLayout(backup, 11, 0, 1, 2);
    grid->setRowStretch(12, 1);
    grid->setColumnStretch(0, 1);
    return page;
}

QWidget* frmPelmarOptions::buildGridPage()
{
    auto* page = new QWidget;
    auto* outer = new QVBoxLayout(page);

    auto* colours = new QGroupBox(QStringLiteral("Colors (click to change):"));
    auto* grid = new QGridLayout(colours);
    const QString captions[GridColourCount] = {
        QStringLiteral("Normal cell:"),   QStringLiteral("Normal text:"),
        QStringLiteral("Negative text:"), QStringLiteral("Current row:"),
        QStringLiteral("Ambiguous row:"), QStringLiteral("Color:"),
        QStringLiteral("Fixed cell:")};
    for (size_t i = 0; i < size_t(GridColourCount); ++i) {
        auto* button = new QPushButton;
        button->setObjectName(QStringLiteral("cmdColor_%1").arg(i));
        button->setFixedSize(64, 22);
        button->setToolTip(QStringLiteral("Click to change"));
        button->setAccessibleName(captions[i]);
        connect(button, &QPushButton::clicked, this, [this, i] { cmdColor_Click(int(i)); });
        m_cmdColor[i] = button;
    }
    // The cell colours in one column; the grid lines' colour and width
    // together, between the ambiguous row and the fixed cells as the keys
    // go through them.
    for (int i = 0; i < 5; ++i) {
        grid->addWidget(Caption(captions[i], m_cmdColor[size_t(i)]), i, 0);
        grid->addWidget(m_cmdColor[size_t(i)], i, 1);
    }
    auto* lines = new QGroupBox(QStringLiteral("Grid lines:"));
    auto* linesLayout = new QHBoxLayout(lines);
    m_text5 = NumberBox("Text5", 2);
    filterBox(m_text5, TextFilter::Digits);
    linesLayout->addWidget(Caption(captions[5], m_cmdColor[5]));
    linesLayout->addWidget(m_cmdColor[5]);
    linesLayout->addSpacing(16);
    linesLayout->addWidget(Caption(QStringLiteral("Width (pixels):"), m_text5));
    linesLayout->addWidget(m_text5);
    linesLayout->addStretch();
    grid->addWidget(lines, 5, 0, 1, 3);
    grid->addWidget(Caption(captions[6], m_cmdColor[6]), 6, 0);
    grid->addWidget(m_cmdColor[6], 6, 1);
    grid->setColumnStretch(2, 1);
    outer->addWidget(colours);
    setTabOrder(m_cmdColor[5], m_cmdColor[6]);

    auto* font = new QGroupBox(QStringLiteral("Font:"));
    auto* fontLayout = new QHBoxLayout(font);
    const char* const labelNames[3] = {"Label16", "Label17", "Label20"};
    for (size_t i = 0; i < 3; ++i) {
        m_gridFontLabels[i] = new QLabel;
        m_gridFontLabels[i]->setObjectName(QLatin1String(labelNames[i]));
        m_gridFontLabels[i]->setMinimumWidth(i == 0 ? 160 : 30);
    }
    m_command4 = new QPushButton(QStringLiteral("Change font"));
    m_command4->setObjectName(QStringLiteral("Command4"));
    connect(m_command4, &QPushButton::clicked, this, &frmPelmarOptions::Command4_Click);
    fontLayout->addWidget(new QLabel(QStringLiteral("Name:")));
    fontLayout->addWidget(m_gridFontLabels[0], 1);
    fontLayout->addWidget(new QLabel(QStringLiteral("Size:")));
    fontLayout->addWidget(m_gridFontLabels[1]);
    fontLayout->addWidget(new QLabel(QStringLiteral("Style:")));
    fontLayout->addWidget(m_gridFontLabels[2]);
    fontLayout->addWidget(m_command4);
    outer->addWidget(font);

    auto* reset = new QHBoxLayout;
    m_command5 = new QPushButton(QStringLiteral("Reset"));
    m_command5->setObjectName(QStringLiteral("Command5"));
    connect(m_command5, &QPushButton::clicked, this, &frmPelmarOptions::Command5_Click);
    reset->addStretch();
    reset->addWidget(Caption(QStringLiteral("Click to reset this tab to defaults:"), m_command5));
    reset->addWidget(m_command5);
    outer->addLayout(reset);
    outer->addStretch();
    return page;
}

QWidget* frmPelmarOptions::buildTextPrinterPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);

    m_list1 = new QListWidget;
    m_list1->setObjectName(QStringLiteral("List1"));
    m_command1 = new QPushButton(QStringLiteral("Change font"));
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command2 = new QPushButton(QStringLiteral("Printer properties"));
    m_command2->setObjectName(QStringLiteral("Command2"));
    connect(m_command1, &QPushButton::clicked, this, &frmPelmarOptions::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, [this] { showPrinterProperties(m_list1); });
    grid->addWidget(Caption(QStringLiteral("Device:"), m_list1), 0, 0, 1, 3);
    grid->addWidget(m_list1, 1, 0, 3, 2);
    m_noPrinter[0] = new QLabel(QStringLiteral("No printer is installed on this computer."));
    grid->addWidget(m_noPrinter[0], 4, 0, 1, 3);
    grid->addWidget(m_command1, 1, 2);
    grid->addWidget(m_command2, 2, 2);

    auto* font = new QGroupBox(QStringLiteral("Report font (print preview and graphics printer)"));
    auto* fontLayout = new QGridLayout(font);
    m_label11 = new QLabel;
    m_label11->setObjectName(QStringLiteral("Label11"));
    m_label9 = new QLabel;
    m_label9->setObjectName(QStringLiteral("Label9"));
    m_label9->setMinimumWidth(30);
    m_chkMono = new QCheckBox(QStringLiteral("Display monospace fonts only"));
    m_chkMono->setObjectName(QStringLiteral("chkMono"));
    m_chkMono->setChecked(true);
    fontLayout->addWidget(new QLabel(QStringLiteral("Font, Size:")), 0, 0);
    fontLayout->addWidget(m_label11, 0, 1);
    fontLayout->addWidget(new QLabel(QStringLiteral("Style:")), 0, 2);
    fontLayout->addWidget(m_label9, 0, 3);
    fontLayout->addWidget(m_chkMono, 1, 0, 1, 4);
    fontLayout->setColumnStretch(4, 1);
    grid->addWidget(font, 5, 0, 1, 3);

    auto* codes = new QGroupBox(QStringLiteral("Printer codes (decimal bytes, e.g. 27,64)"));
    auto* codesLayout = new QGridLayout(codes);
    const QString captions[2] = {QStringLiteral("Init String:"), QStringLiteral("Reset string:")};
    for (size_t i = 0; i < 2; ++i) {
        m_text4[i] = new QLineEdit;
        m_text4[i]->setObjectName(QStringLiteral("Text4_%1").arg(i));
        filterBox(m_text4[i], TextFilter::ByteList);
        codesLayout->addWidget(Caption(captions[i], m_text4[i]), int(i), 0);
        codesLayout->addWidget(m_text4[i], int(i), 1);
    }
    grid->addWidget(codes, 6, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    return page;
}

QWidget* frmPelmarOptions::buildLayoutsPage()
{
    auto* page = new QWidget;
    auto* outer = new QVBoxLayout(page);

    auto* orientation = new QGroupBox(QStringLiteral("Page orientation"));
    auto* orientationLayout = new QHBoxLayout(orientation);
    const QString captions[2] = {QStringLiteral("Portrait"), QStringLiteral("Landscape")};
    for (size_t i = 0; i < 2; ++i) {
        m_orientation[i] = new QRadioButton(captions[i]);
        m_orientation[i]->setObjectName(QStringLiteral("optOrientation_%1").arg(i));
        orientationLayout->addWidget(m_orientation[i]);
    }
    orientationLayout->addStretch();
    outer->addWidget(orientation);

    const QString reports[2] = {QStringLiteral("Investment listing:"),
                                QStringLiteral("Basis worksheets:")};
    for (size_t r = 0; r < 2; ++r) {
        auto* group = new QGroupBox(reports[r]);
        auto* grid = new QGridLayout(group);
        const QString lines[2] = {
            QStringLiteral("Page break after detail line (0 = use printer default):"),
            QStringLiteral("Add blank lines at top of page:")};
        for (size_t i = 0; i < 2; ++i) {
            const size_t k = r * 2 + i;
            m_text2[k] = NumberBox(QStringLiteral("Text2_%1").arg(k).toLatin1().constData(), 4);
            filterBox(m_text2[k], TextFilter::Decimal);
            grid->addWidget(Caption(lines[i], m_text2[k]), int(i), 0);
            grid->addWidget(m_text2[k], int(i), 1);
        }
        grid->setColumnStretch(2, 1);
        outer->addWidget(group);
    }

    auto* margins = new QGroupBox(QStringLiteral("Margins (inches):"));
    auto* marginsLayout = new QHBoxLayout(margins);
    const QString sides[4] = {QStringLiteral("Top"), QStringLiteral("Bottom"),
                              QStringLiteral("Left"), QStringLiteral("Right")};
    for (size_t i = 0; i < 4; ++i) {
        m_marginLabels[i] = new QLabel;
        m_marginLabels[i]->setObjectName(QStringLiteral("lblMargin_%1").arg(i));
        m_marginLabels[i]->setMinimumWidth(40);
        marginsLayout->addWidget(new QLabel(sides[i] + QLatin1Char(':')));
        marginsLayout->addWidget(m_marginLabels[i]);
    }
    marginsLayout->addStretch();
    m_pageSetup = new QPushButton(QStringLiteral("Page setup"));
    m_pageSetup->setObjectName(QStringLiteral("cmdPageSetup"));
    connect(m_pageSetup, &QPushButton::clicked, this, &frmPelmarOptions::cmdPageSetup_Click);
    marginsLayout->addWidget(m_pageSetup);
    outer->addWidget(margins);
    outer->addStretch();
    return page;
}

QWidget* frmPelmarOptions::buildGraphicsPrinterPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    m_list3 = new QListWidget;
    m_list3->setObjectName(QStringLiteral("List3"));
    m_command3 = new QPushButton(QStringLiteral("Printer properties"));
    m_command3->setObjectName(QStringLiteral("Command3"));
    connect(m_command3, &QPushButton::clicked, this, [this] { showPrinterProperties(m_list3); });
    grid->addWidget(Caption(QStringLiteral("Device:"), m_list3), 0, 0, 1, 2);
    grid->addWidget(m_list3, 1, 0, 2, 1);
    grid->addWidget(m_command3, 1, 1);
    m_noPrinter[1] = new QLabel(QStringLiteral("No printer is installed on this computer."));
    grid->addWidget(m_noPrinter[1], 3, 0, 1, 2);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(0, 1);
    return page;
}

QPushButton* frmPelmarOptions::Command(int i) const
{
    switch (i) {
        case 1:
            return m_command1;
        case 2:
            return m_command2;
        case 3:
            return m_command3;
        case 4:
            return m_command4;
        case 5:
            return m_command5;
        default:
            return nullptr;
    }
}

void frmPelmarOptions::filterBox(QLineEdit* box, TextFilter filter)
{
    box->setProperty(FilterProperty, int(filter));
    box->installEventFilter(this);
    // Text that arrives without typing (pasted, dropped) is filtered too.
    connect(box, &QLineEdit::textEdited, this, [box, filter](const QString& text) {
        const QString kept = FilterText(filter, text);
        if (kept != text) {
            const int cursor = box->cursorPosition() - int(text.size() - kept.size());
            box->setText(kept);
            box->setCursorPosition(std::max(0, cursor));
        }
    });
}

bool frmPelmarOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const QVariant filter = watched->property(FilterProperty);
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        // Only characters are filtered: editing and movement keys, Enter
        // (the default button), Escape and shortcuts keep their work.
        if (filter.isValid() && text.size() == 1 && text[0].unicode() >= u' ' &&
            text[0].unicode() != 0x7F &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
            !AcceptKey(TextFilter(filter.toInt()), text[0].unicode()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Filling

void frmPelmarOptions::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void frmPelmarOptions::Form_Activate()
{
    if (Tag != tag::Fill)
        return;
    Tag.clear();
    FontChoice gridFont;
    if (m.currentGridFont) {
        const QFont f = m.currentGridFont();
        gridFont = FontChoice{f.family(), f.pointSizeF(), f.bold(), f.italic()};
    } else {
        gridFont = DefaultGridFont();
    }
    fillControls(FillForm(m.settings, gridFont));
    FillTextPrinterList();
    FillGraphicsPrinterList();
    SSTab1_Click(m_tabs->currentIndex());
}

void frmPelmarOptions::fillControls(const PreferencesForm& f)
{
    m_text1->setText(f.Text1);
    for (size_t i = 0; i < 9; ++i)
        m_check[i]->setChecked(f.Check[i]);
    m_text3->setText(f.Text3);
    for (size_t i = 0; i < size_t(GridColourCount); ++i)
        setColourButton(int(i), f.cmdColor[i]);
    m_text5->setText(f.Text5);
    setGridFont(f.gridFont);
    m_textDevice = f.textDevice;
    m_graphicsDevice = f.graphicsDevice;
    for (size_t i = 0; i < 2; ++i)
        m_text4[i]->setText(f.Text4[i]);
    setTextFont(f.textFont);
    m_orientation[f.orientation == 1 ? 0 : 1]->setChecked(true);
    for (size_t i = 0; i < 4; ++i)
        m_text2[i]->setText(f.Text2[i]);
    setMargins(f.margins);
}

PreferencesForm frmPelmarOptions::form() const
{
    PreferencesForm f;
    f.Text1 = m_text1->text();
    for (size_t i = 0; i < 9; ++i)
        f.Check[i] = m_check[i]->isChecked();
    f.Text3 = m_text3->text();
    f.cmdColor = m_colours;
    f.Text5 = m_text5->text();
    f.gridFont = FontChoice{m_gridFontLabels[0]->text(), m_gridFont.size,
                            StyleBold(m_gridFontLabels[2]->text()),
                            StyleItalic(m_gridFontLabels[2]->text())};
    auto chosen = [](const QListWidget* list, const QString& keep) {
        const QListWidgetItem* item = list->currentItem();
        return item ? item->data(Qt::UserRole).toString() : keep;
    };
    f.textDevice = chosen(m_list1, m_textDevice);
    for (size_t i = 0; i < 2; ++i)
        f.Text4[i] = m_text4[i]->text();
    f.textFont = FontChoice{m_textFont.name, m_textFont.size, StyleBold(m_label9->text()),
                            StyleItalic(m_label9->text())};
    f.orientation = m_orientation[0]->isChecked() ? 1 : 2;
    for (size_t i = 0; i < 4; ++i)
        f.Text2[i] = m_text2[i]->text();
    f.margins = m_margins;
    f.graphicsDevice = chosen(m_list3, m_graphicsDevice);
    return f;
}

void frmPelmarOptions::setColourButton(int i, Settings::Colour colour)
{
    m_colours[size_t(i)] = colour;
    const QColor c = grid::ToQColor(colour, QApplication::palette());
    m_cmdColor[size_t(i)]->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; border: 1px solid palette(dark); }"
                       "QPushButton:focus { border: 2px solid palette(highlight); }")
            .arg(c.name()));
}

void frmPelmarOptions::setGridFont(const FontChoice& font)
{
    m_gridFont = font;
    m_gridFontLabels[0]->setText(font.name);
    m_gridFontLabels[1]->setText(FontSizeText(font.size));
    m_gridFontLabels[2]->setText(StyleFlags(font.bold, font.italic));
}

void frmPelmarOptions::setTextFont(const FontChoice& font)
{
    m_textFont = font;
    m_label11->setText(FontNameAndSize(font));
    m_label9->setText(StyleFlags(font.bold, font.italic));
}

void frmPelmarOptions::setMargins(const std::array<int, 4>& margins)
{
    m_margins = margins;
    for (size_t i = 0; i < 4; ++i)
        m_marginLabels[i]->setText(MarginInches(margins[i]));
}

void frmPelmarOptions::FillTextPrinterList()
{
    fillPrinterList(m_list1, m_textDevice);
}

void frmPelmarOptions::FillGraphicsPrinterList()
{
    fillPrinterList(m_list3, m_graphicsDevice);
}

void frmPelmarOptions::fillPrinterList(QListWidget* list, const QString& currentChoice)
{
    list->clear();
    const QStringList installed =
        m_services.installedPrinters ? m_services.installedPrinters() : QStringList();
    const QString defaultName = m_services.defaultPrinter ? m_services.defaultPrinter() : QString();
    const PrinterList printers = BuildPrinterList(installed, defaultName, currentChoice);
    for (qsizetype i = 0; i < printers.entries.size(); ++i) {
        auto* item = new QListWidgetItem(printers.entries[i], list);
        item->setData(Qt::UserRole, printers.names[i]);
    }
    if (printers.selected >= 0)
        list->setCurrentRow(printers.selected);
    m_noPrinter[list == m_list1 ? 0 : 1]->setVisible(list->count() == 0);
}

void frmPelmarOptions::SSTab1_Click(int page)
{
    // The keys go through the selected page's controls only (the others are
    // hidden with their page), then the dialog's buttons.
    const QStringList names = TabOrder(page);
    QWidget* previous = nullptr;
    for (const QString& name : names) {
        auto* w = findChild<QWidget*>(name);
        if (!w)
            continue;
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }
    if (auto* first = names.isEmpty() ? nullptr : findChild<QWidget*>(names.first()))
        first->setFocus(Qt::TabFocusReason);
}

// ---------------------------------------------------------------------------
// Commands

void frmPelmarOptions::Browse_Click()
{
    if (!m_services.choosePortfolio)
        return;
    const QString path = m_services.choosePortfolio(this, m_text1->text());
    if (!path.isEmpty())
        m_text1->setText(path);
}

void frmPelmarOptions::cmdColor_Click(int i)
{
    if (!m_services.chooseColour)
        return;
    const QColor current = grid::ToQColor(m_colours[size_t(i)], QApplication::palette());
    if (const std::optional<QColor> chosen = m_services.chooseColour(current, this)) {
        setColourButton(i, FromQColor(*chosen));
        Tag = tag::Reapply;
    }
}

void frmPelmarOptions::Command4_Click()
{
    if (!m_services.chooseFont)
        return;
    if (const std::optional<FontChoice> chosen = m_services.chooseFont(m_gridFont, false, this)) {
        // The grid shows a new font at once when the dialog closes.
        if (!(*chosen == m_gridFont))
            Tag = tag::Reapply;
        setGridFont(*chosen);
    }
}

void frmPelmarOptions::Command5_Click()
{
    PreferencesForm f = form();
    ResetGridPage(f);
    for (size_t i = 0; i < size_t(GridColourCount); ++i)
        setColourButton(int(i), f.cmdColor[i]);
    m_text5->setText(f.Text5);
    setGridFont(f.gridFont);
    Tag = tag::Reapply;
}

void frmPelmarOptions::Command1_Click()
{
    if (!m_services.chooseFont)
        return;
    if (const std::optional<FontChoice> chosen =
            m_services.chooseFont(m_textFont, m_chkMono->isChecked(), this))
        setTextFont(*chosen);
}

void frmPelmarOptions::showPrinterProperties(QListWidget* list)
{
    const QListWidgetItem* item = list->currentItem();
    if (!item || !m_services.printerProperties)
        return;
    m_services.printerProperties(item->data(Qt::UserRole).toString(), this);
}

void frmPelmarOptions::cmdPageSetup_Click()
{
    const QListWidgetItem* item = m_list1->currentItem();
    if (!item) {
        m.messages.show(QStringLiteral("Please make sure a text printer has been selected on the "
                                       "previous tab, first."),
                        ui::Icon::Exclamation);
        return;
    }
    if (!m_services.pageSetup)
        return;
    std::array<int, 4> margins = m_margins;
    std::int16_t orientation = m_orientation[0]->isChecked() ? 1 : 2;
    QString error;
    const bool confirmed =
        m_services.pageSetup(item->data(Qt::UserRole).toString(), margins, orientation, this, error);
    if (!error.isEmpty()) {
        m.messages.show(QStringLiteral("Error: ") + error, ui::Icon::Exclamation);
        return;
    }
    if (!confirmed)
        return;
    setMargins(margins);
    // The page-setup dialog offers the orientation as well: the option
    // buttons follow what the user chose there.
    m_orientation[orientation == 1 ? 0 : 1]->setChecked(true);
}

void frmPelmarOptions::OK_Click()
{
    const int rowHeight = m.firstRowHeightTwips ? m.firstRowHeightTwips() : -1;
    Tag = StoreForm(form(), m.settings, rowHeight, m.iniPath, Tag);
    m_list1->clear();
    m_list3->clear();
    QDialog::done(QDialog::Accepted);
}

void frmPelmarOptions::Cancel_Click()
{
    Tag.clear();
    m_list1->clear();
    m_list3->clear();
    QDialog::done(QDialog::Rejected);
}

void frmPelmarOptions::reject()
{
    Cancel_Click();
}

void frmPelmarOptions::cmdHelp_Click()
{
    if (m_help)
        m_help->ShowHelpTopic(HelpTopicOfPage(m_tabs->currentIndex()));
}

}  // namespace brisden::prefs
