#pragma once
// frmPelmarOptions: the preferences dialog. Five pages (general, data grid,
// text printer, report layouts, graphics printer) edit the settings; "OK"
// stores every value and writes it to the settings file, "Cancel" changes
// nothing. The dialog is hidden, not destroyed, when it closes; its Tag
// carries the conversation with the main window ("A" in: fill from the
// settings; out: "R" re-apply the grid's look, "I" the record type column
// changed sides as well, "" nothing to do).

#include "prefs/Preferences.h"
#include "shell/Settings.h"
#include "ui/Help.h"
#include "ui/Interaction.h"

#include <QColor>
#include <QDialog>
#include <QFont>
#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace brisden::prefs {

// The system's dialogs and printers as the preferences use them; the tests
// put their own answers in their place.
struct PreferencesServices {
    // The installed printers in the system's order, and the default one.
    std::function<QStringList()> installedPrinters;
    std::function<QString()> defaultPrinter;
    // The printer driver's own properties dialog.
    std::function<void(const QString& printer, QWidget* owner)> printerProperties;
    // The page-setup dialog for a printer: margins (top, bottom, left, right,
    // thousandths of an inch) and orientation (1 portrait, 2 landscape) in
    // and out. Returns whether the user confirmed; error is set when the
    // dialog could not be shown.
    std::function<bool(const QString& printer, std::array<int, 4>& margins,
                       std::int16_t& orientation, QWidget* owner, QString& error)>
        pageSetup;
    // The colour chooser (with the program's custom colours); nullopt when
    // cancelled.
    std::function<std::optional<QColor>(const QColor& initial, QWidget* owner)> chooseColour;
    // The font chooser, optionally offering fixed-pitch fonts only.
    std::function<std::optional<FontChoice>(const FontChoice& initial, bool monospaceOnly,
                                            QWidget* owner)>
        chooseFont;
    // The portfolio file chooser ("" when cancelled).
    std::function<QString(QWidget* owner, const QString& startPath)> choosePortfolio;
};

// The desktop's printers (Qt's printer information), QColorDialog, QFontDialog,
// the page-setup dialog and the file dialog.
PreferencesServices SystemServices();

struct PreferencesContext {
    Settings& settings;
    QString iniPath;
    ui::IMessageBox& messages;
    // The height of the grid's first data row in twips, and the font the grid
    // shows now.
    std::function<int()> firstRowHeightTwips;
    std::function<QFont()> currentGridFont;
};

class frmPelmarOptions final : public QDialog {
    Q_OBJECT
public:
    explicit frmPelmarOptions(PreferencesContext context, QWidget* parent = nullptr);

    QString Tag;

    void setServices(PreferencesServices services) { m_services = std::move(services); }
    PreferencesServices& services() { return m_services; }
    // The manual; may be null (the Help button then does nothing).
    void setHelp(ui::IHelp* help) { m_help = help; }

    // The values the controls hold now.
    PreferencesForm form() const;

    // --- controls (tests) ---------------------------------------------
    QTabWidget* SSTab1() const { return m_tabs; }
    QLineEdit* Text1() const { return m_text1; }
    QPushButton* Browse() const { return m_browse; }
    QCheckBox* Check(int i) const { return m_check[size_t(i - 1)]; }  // Check1 ... Check9
    QLineEdit* Text3() const { return m_text3; }
    QPushButton* cmdColor(int i) const { return m_cmdColor[size_t(i)]; }
    QLineEdit* Text5() const { return m_text5; }
    QPushButton* Command(int i) const;  // Command1 ... Command5
    QLabel* gridFontLabel(int i) const { return m_gridFontLabels[size_t(i)]; }  // name, size, style
    QListWidget* List1() const { return m_list1; }
    QListWidget* List3() const { return m_list3; }
    QCheckBox* chkMono() const { return m_chkMono; }
    QLineEdit* Text4(int i) const { return m_text4[size_t(i)]; }
    QLabel* Label11() const { return m_label11; }
    QLabel* Label9() const { return m_label9; }
    QRadioButton* optOrientation(int i) const { return m_orientation[size_t(i)]; }
    QLineEdit* Text2(int i) const { return m_text2[size_t(i)]; }
    QPushButton* cmdPageSetup() const { return m_pageSetup; }
    QLabel* marginLabel(int i) const { return m_marginLabels[size_t(i)]; }
    QPushButton* Commands(int i) const { return m_commands[size_t(i)]; }
    QPushButton* cmdHelp() const { return m_cmdHelp; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;  // Escape and the close box: Cancel

private:
    QWidget* buildGeneralPage();
    QWidget* buildGridPage();
    QWidget* buildTextPrinterPage();
    QWidget* buildLayoutsPage();
    QWidget* buildGraphicsPrinterPage();
    void filterBox(QLineEdit* box, TextFilter filter);

    void Form_Activate();
    void fillControls(const PreferencesForm& form);
    void SSTab1_Click(int page);
    void FillTextPrinterList();
    void FillGraphicsPrinterList();
    void fillPrinterList(QListWidget* list, const QString& currentChoice);
    void setColourButton(int i, Settings::Colour colour);
    void setGridFont(const FontChoice& font);
    void setTextFont(const FontChoice& font);
    void setMargins(const std::array<int, 4>& margins);

    void Browse_Click();
    void cmdColor_Click(int i);
    void Command4_Click();
    void Command5_Click();
    void Command1_Click();
    void showPrinterProperties(QListWidget* list);
    void cmdPageSetup_Click();
    void OK_Click();
    void Cancel_Click();
    void cmdHelp_Click();

    PreferencesContext m;
    PreferencesServices m_services;
    ui::IHelp* m_help = nullptr;

    QTabWidget* m_tabs = nullptr;
    QLineEdit* m_text1 = nullptr;
    QPushButton* m_browse = nullptr;
    std::array<QCheckBox*, 9> m_check{};
    QLineEdit* m_text3 = nullptr;
    std::array<QPushButton*, GridColourCount> m_cmdColor{};
    std::array<Settings::Colour, GridColourCount> m_colours{};
    QLineEdit* m_text5 = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_command3 = nullptr;
    QPushButton* m_command4 = nullptr;
    QPushButton* m_command5 = nullptr;
    std::array<QLabel*, 3> m_gridFontLabels{};  // Label16 name, Label17 size, Label20 style
    FontChoice m_gridFont;
    QListWidget* m_list1 = nullptr;
    QListWidget* m_list3 = nullptr;
    std::array<QLabel*, 2> m_noPrinter{};  // under List1 and List3
    QCheckBox* m_chkMono = nullptr;
    std::array<QLineEdit*, 2> m_text4{};
    QLabel* m_label11 = nullptr;  // font name and size
    QLabel* m_label9 = nullptr;   // style
    FontChoice m_textFont;
    std::array<QRadioButton*, 2> m_orientation{};
    std::array<QLineEdit*, 4> m_text2{};
    QPushButton* m_pageSetup = nullptr;
    std::array<QLabel*, 4> m_marginLabels{};
    std::array<int, 4> m_margins{};
    // The device settings as the dialog opened, kept when a list has no
    // printer to choose.
    QString m_textDevice;
    QString m_graphicsDevice;
    std::array<QPushButton*, 2> m_commands{};
    QPushButton* m_cmdHelp = nullptr;
};

}  // namespace brisden::prefs
