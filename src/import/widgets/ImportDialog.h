#pragma once
// frmImport, "Import data": the source file, the record layout (which field
// each of the first five columns of a line holds), the order of numeric
// dates, "this time only", and a preview of the first lines as they would be
// stored, where lines can be left out. The dialog is made once and hidden,
// not destroyed, so its choices last until the program ends.

#include "import/ImportPreview.h"
#include "import/ImportSchema.h"
#include "ui/Help.h"
#include "ui/Interaction.h"
#include "ui/widgets/FileDialogs.h"

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QTimer;

namespace brisden {

struct Calendar;
class FileTable;
class ImportPreviewModel;
class InvestmentFile;
class Settings;

struct ImportDialogContext {
    InvestmentFile& file;  // its records are what repeated lines are looked up in
    Settings& settings;
    const Calendar& calendar;
    ui::IMessageBox& messages;
    QString IniPath;
};

class ImportDialog final : public QDialog {
    Q_OBJECT
public:
    // Lines of the source the preview reads.
    static constexpr int PreviewLineLimit = 1000;

    ImportDialog(const ImportDialogContext& context, QWidget* parent);
    ~ImportDialog() override;

    // "A" before the import command shows the dialog; "0" after OK, "1"
    // after Cancel or closing the window.
    QString Tag;

    // Text1, the slots and the date option as the dialog holds them.
    QString sourcePath() const;
    void setSourcePath(const QString& path);
    ImportSchema schema() const;
    void setSchema(const ImportSchema& schema);
    bool thisTimeOnly() const;
    // The lines to import, as chosen in the preview.
    const ImportSelection& selection() const;

    // Reads the source again now (otherwise a moment after the last change).
    void refreshPreview();

    void setHelp(ui::IHelp* help);
    // The file-open dialog of "Browse" (tests answer it).
    void setChooseFile(ui::ChooseFile chooser) { m_chooseFile = std::move(chooser); }

    // Controls, by their names on the form.
    QLineEdit* Text1() const { return m_text1; }
    QPushButton* Command1() const { return m_browse; }
    QComboBox* Text2(int slot) const { return m_slots.at(std::size_t(slot)); }
    QRadioButton* optDatFmt(int option) const { return m_dateOptions.at(std::size_t(option)); }
    QCheckBox* Check1() const { return m_thisTimeOnly; }
    QCheckBox* LeaveOutDuplicates() const { return m_leaveOutDuplicates; }
    QPushButton* Command2(int index) const { return index == 0 ? m_ok : m_cancel; }
    QPushButton* cmdHelp() const { return m_helpButton; }
    QTableView* previewView() const { return m_previewView; }
    ImportPreviewModel* previewModel() const { return m_preview; }
    QLabel* previewSummary() const { return m_summary; }

    // What "Browse" preselects for the text in Text1: 1 text files, 2 comma-
    // separated files, 3 all files.
    static int FilterIndexFor(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void Command1_Click();
    void Command2_Click(int index);
    // Shows a schema in the controls without reading the source again.
    void applySchema(const ImportSchema& schema);
    void schemaChanged();
    void updateSummary();

    ImportDialogContext m;
    QLineEdit* m_text1 = nullptr;
    QPushButton* m_browse = nullptr;
    std::array<QComboBox*, ImportSchema::SlotCount> m_slots{};
    std::array<QRadioButton*, 4> m_dateOptions{};
    QCheckBox* m_thisTimeOnly = nullptr;
    QCheckBox* m_leaveOutDuplicates = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_helpButton = nullptr;
    QTableView* m_previewView = nullptr;
    ImportPreviewModel* m_preview = nullptr;
    QLabel* m_summary = nullptr;
    QTimer* m_previewTimer = nullptr;
    ui::IHelp* m_help = nullptr;
    ui::ChooseFile m_chooseFile;
    // The ledger's records as they were when the dialog was shown.
    DuplicateFinder m_ledgerRecords;
    bool m_applying = false;
};

}  // namespace brisden
