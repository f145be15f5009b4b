#include "import/widgets/ImportDialog.h"

#include "data/Dates.h"
#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "import/ImportEngine.h"
#include "import/widgets/ImportPreviewModel.h"
#include "shell/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace brisden {

namespace {

const QString FilterText = QStringLiteral("Text Files (*.TXT *.txt)");
const QString FilterCsv = QStringLiteral("(*.csv *.CSV)");
const QString FilterAll = QStringLiteral("All Files (*)");

QString ChooseImportFile(QWidget* parent, const QString& startPath)
{
    QFileDialog dialog(parent, QStringLiteral("Select an import file"));
    const QStringList filters = {FilterText, FilterCsv, FilterAll};
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.at(ImportDialog::FilterIndexFor(startPath) - 1));
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly, true);
    if (!startPath.isEmpty()) {
        const QFileInfo start(startPath);
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

}  // namespace

ImportDialog::ImportDialog(const ImportDialogContext& context, QWidget* parent)
    : QDialog(parent), m(context)
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("Import data"));
    setModal(true);
    m_chooseFile = ChooseImportFile;

    // The source file, with completion of paths as they are typed.
    auto* sourceLabel = new QLabel(QStringLiteral("Source file:"), this);
    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    sourceLabel->setBuddy(m_text1);
    auto* fileModel = new QFileSystemModel(this);
    fileModel->setRootPath(QString());
    auto* completer = new QCompleter(fileModel, this);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    m_text1->setCompleter(completer);
    m_browse = new QPushButton(QStringLiteral("Browse"), this);
    m_browse->setObjectName(QStringLiteral("Command1"));
    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(sourceLabel);
    sourceRow->addWidget(m_text1, 1);
    sourceRow->addWidget(m_browse);

    // The record layout: one drop-down list per field of a line.
    auto* layoutFrame = new QGroupBox(QStringLiteral("Record layout:"), this);
    auto* layoutGrid = new QGridLayout(layoutFrame);
    for (int i = 0; i < ImportSchema::SlotCount; ++i) {
        auto* label = new QLabel(QStringLiteral("Field %1:").arg(i + 1), layoutFrame);
        auto* slot = new QComboBox(layoutFrame);
        slot->setObjectName(QStringLiteral("Text2_%1").arg(i));
        slot->addItems(ImportSchema::FieldNames());
        label->setBuddy(slot);
        layoutGrid->addWidget(label, 0, i);
        layoutGrid->addWidget(slot, 1, i);
        m_slots[std::size_t(i)] = slot;
        connect(slot, &QComboBox::currentTextChanged, this, &ImportDialog::schemaChanged);
    }

    auto* dateFrame = new QGroupBox(QStringLiteral("Input date format:"), this);
    auto* dateRow = new QHBoxLayout(dateFrame);
    for (ImportDateOption option : {ImportDateOption::MDY, ImportDateOption::YMD,
                                    ImportDateOption::DMY, ImportDateOption::Universal}) {
        const int i = int(option);
        auto* button = new QRadioButton(ImportSchema::DateOptionCaption(option), dateFrame);
        button->setObjectName(QStringLiteral("optDatFmt_%1").arg(i));
        dateRow->addWidget(button);
        m_dateOptions[std::size_t(i)] = button;
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                schemaChanged();
        });
    }

    m_thisTimeOnly =
        new QCheckBox(QStringLiteral("I want to use this layout for this time only"), this);
    m_thisTimeOnly->setObjectName(QStringLiteral("Check1"));

    // The preview.
    auto* previewFrame = new QGroupBox(QStringLiteral("The first lines as they will be stored:"),
                                       this);
    m_summary = new QLabel(previewFrame);
    m_summary->setObjectName(QStringLiteral("PreviewSummary"));
    m_summary->setWordWrap(true);
    m_summary->setTextFormat(Qt::PlainText);
    m_leaveOutDuplicates = new QCheckBox(QStringLiteral("&Leave out duplicates"), previewFrame);
    m_leaveOutDuplicates->setObjectName(QStringLiteral("LeaveOutDuplicates"));
    m_leaveOutDuplicates->setToolTip(
        QStringLiteral("Lines marked \"Probably already in the file\" have the same date, "
                       "amount, price and shares as a record in the file.  Leave them all out, "
                       "also those further down than the lines shown here."));
    m_preview = new ImportPreviewModel(m.calendar.locale, this);
    m_previewView = new QTableView(previewFrame);
    m_previewView->setObjectName(QStringLiteral("PreviewGrid"));
    m_previewView->setModel(m_preview);
    m_previewView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_previewView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_previewView->verticalHeader()->hide();
    m_previewView->verticalHeader()->setDefaultSectionSize(
        m_previewView->fontMetrics().height() + 6);
    m_previewView->horizontalHeader()->setStretchLastSection(true);
    m_previewView->setWordWrap(false);
    m_previewView->setMinimumHeight(200);
    auto* previewTop = new QHBoxLayout;
    previewTop->addWidget(m_summary, 1);
    previewTop->addWidget(m_leaveOutDuplicates, 0, Qt::AlignTop);
    auto* previewLayout = new QVBoxLayout(previewFrame);
    previewLayout->addLayout(previewTop);
    previewLayout->addWidget(m_previewView, 1);
    connect(m_leaveOutDuplicates, &QCheckBox::toggled, m_preview,
            &ImportPreviewModel::setLeaveOutDuplicates);
    connect(m_preview, &ImportPreviewModel::selectionChanged, this, &ImportDialog::updateSummary);

    m_ok = new QPushButton(QStringLiteral("&OK"), this);
    m_ok->setObjectName(QStringLiteral("Command2_0"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("Command2_1"));
    m_helpButton = new QPushButton(QStringLiteral("&Help"), this);
    m_helpButton->setObjectName(QStringLiteral("cmdHelp"));
    m_helpButton->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_thisTimeOnly);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_helpButton);

    auto* options = new QHBoxLayout;
    options->addWidget(layoutFrame, 3);
    options->addWidget(dateFrame, 0);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sourceRow);
    layout->addLayout(options);
    layout->addWidget(previewFrame, 1);
    layout->addLayout(buttons);
    resize(900, 580);

    // A fresh dialog: nothing used, "Universal".
    setSchema(ImportSchema());

    // Typing a path reads the file a moment after the last key.
    m_previewTimer = new QTimer(this);
    m_previewTimer->setSingleShot(true);
    m_previewTimer->setInterval(300);
    connect(m_previewTimer, &QTimer::timeout, this, &ImportDialog::refreshPreview);
    connect(m_text1, &QLineEdit::textChanged, m_previewTimer, qOverload<>(&QTimer::start));

    connect(m_browse, &QPushButton::clicked, this, &ImportDialog::Command1_Click);
    connect(m_ok, &QPushButton::clicked, this, [this] { Command2_Click(0); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { Command2_Click(1); });
    connect(m_helpButton, &QPushButton::clicked, this, [this] {
        if (m_help)
            m_help->ShowHelpTopic(ui::HelpImport);
    });
}

ImportDialog::~ImportDialog() = default;

QString ImportDialog::sourcePath() const
{
    return m_text1->text();
}

void ImportDialog::setSourcePath(const QString& path)
{
    m_text1->setText(path);
}

ImportSchema ImportDialog::schema() const
{
    ImportSchema s;
    for (int i = 0; i < ImportSchema::SlotCount; ++i)
        s.Slots[std::size_t(i)] = m_slots[std::size_t(i)]->currentText();
    for (int i = 0; i < 4; ++i)
        if (m_dateOptions[std::size_t(i)]->isChecked())
            s.DateOption = ImportDateOption(i);
    return s;
}

void ImportDialog::setSchema(const ImportSchema& s)
{
    applySchema(s);
    schemaChanged();
}

void ImportDialog::applySchema(const ImportSchema& s)
{
    m_applying = true;
    for (int i = 0; i < ImportSchema::SlotCount; ++i) {
        QComboBox* slot = m_slots[std::size_t(i)];
        const QString& name = s.Slots[std::size_t(i)];
        // A name the import does not know (from an edited settings file) is
        // shown as it is and reads as "*Not_Used*".
        while (slot->count() > int(ImportSchema::FieldNames().size()))
            slot->removeItem(slot->count() - 1);
        int at = slot->findText(name, Qt::MatchFixedString);  // any case
        if (at < 0) {
            slot->addItem(name);
            at = slot->count() - 1;
        }
        slot->setCurrentIndex(at);
    }
    m_dateOptions[std::size_t(s.DateOption)]->setChecked(true);
    m_applying = false;
}

bool ImportDialog::thisTimeOnly() const
{
    return m_thisTimeOnly->isChecked();
}

const ImportSelection& ImportDialog::selection() const
{
    return m_preview->selection();
}

void ImportDialog::setHelp(ui::IHelp* help)
{
    m_help = help;
    m_helpButton->setEnabled(help != nullptr);
}

int ImportDialog::FilterIndexFor(const QString& path)
{
    if (path.isEmpty())
        return 1;
    const QString tail = path.right(3).toUpper();
    if (tail == QLatin1String("TXT"))
        return 1;
    if (tail == QLatin1String("CSV"))
        return 2;
    return 3;
}

void ImportDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Shown by the import command: the saved layout applies again and
    // "this time only" starts cleared. Other activations change nothing.
    if (Tag == QLatin1String("A")) {
        Tag.clear();
        m_thisTimeOnly->setChecked(false);
        m_ledgerRecords = m.file.isOpen()
                              ? DuplicateFinder::FromLedger(m.file.files(), InvestmentSlot)
                              : DuplicateFinder();
        ImportSchema s = schema();
        s.ApplySaved(ImportSchema::ReadSaved(m.IniPath));
        applySchema(s);
        refreshPreview();
    }
}

// Cancel, Escape and closing the window: the dialog is only hidden.
void ImportDialog::reject()
{
    Tag = QStringLiteral("1");
    QDialog::reject();
}

void ImportDialog::Command1_Click()
{
    const QString path = m_chooseFile ? m_chooseFile(this, m_text1->text()) : QString();
    if (!path.isEmpty()) {
        m_text1->setText(path);
        refreshPreview();
    }
}

void ImportDialog::Command2_Click(int index)
{
    if (index != 0) {
        reject();
        return;
    }
    // The lines chosen must be the lines of the file named now.
    if (m_previewTimer->isActive())
        refreshPreview();
    const QString path = m_text1->text();
    FileTable& files = m.file.files();
    if (QFileInfo(path).isDir() || !OpenImportSource(files, path)) {
        files.CloseFile(ShortSlot);
        m.messages.show(CantAccessMessage(path), ui::Icon::Exclamation);
        return;
    }
    if (!m_thisTimeOnly->isChecked()) {
        const ImportSchema s = schema();
        s.Save(m.IniPath);
        m.settings.ImportSchema = s.SchemaString();
    }
    Tag = QStringLiteral("0");
    accept();
}

void ImportDialog::schemaChanged()
{
    if (m_applying)
        return;
    if (isVisible())
        refreshPreview();
}

void ImportDialog::refreshPreview()
{
    m_previewTimer->stop();
    const QString path = m_text1->text();
    if (path.isEmpty() || QFileInfo(path).isDir()) {
        m_preview->setPreview(ImportPreview());
        return;
    }
    m_preview->setPreview(
        PreviewImport(path, schema(), m.calendar, m_ledgerRecords, PreviewLineLimit));
    m_previewView->resizeColumnsToContents();
    // The note column takes what is left.
    m_previewView->horizontalHeader()->setStretchLastSection(true);
}

void ImportDialog::updateSummary()
{
    const ImportPreview& p = m_preview->preview();
    const QString path = m_text1->text();
    QString text;
    if (path.isEmpty() || QFileInfo(path).isDir()) {
        text = QStringLiteral("Choose a file to see its first lines here.");
    } else if (!p.error.isEmpty()) {
        text = QStringLiteral("The file cannot be read: ") + p.error + QLatin1Char('.');
    } else if (p.lines.empty()) {
        text = QStringLiteral("The file holds no lines to import.");
    } else {
        const int shown = int(p.lines.size());
        text = p.wholeFile ? (shown == 1 ? QStringLiteral("The file's one line")
                                         : QStringLiteral("All %1 lines of the file").arg(shown))
                           : QStringLiteral("The first %1 lines of the file").arg(shown);
        text += QStringLiteral(": %1 will be imported").arg(m_preview->importedCount());
        QStringList more;
        if (p.refusedCount)
            more << QStringLiteral("%1 would be refused").arg(p.refusedCount);
        if (p.invalidDateCount)
            more << QStringLiteral("%1 with an invalid date").arg(p.invalidDateCount);
        if (p.duplicateCount)
            more << QStringLiteral("%1 probably already in the file").arg(p.duplicateCount);
        if (!more.isEmpty())
            text += QStringLiteral(" (") + more.join(QStringLiteral(", ")) + QLatin1Char(')');
        text += QLatin1Char('.');
    }
    m_summary->setText(text);
    // Repeats further down a long file are found by the run itself.
    m_leaveOutDuplicates->setEnabled(!p.lines.empty() && (p.duplicateCount > 0 || !p.wholeFile));
}

}  // namespace brisden
