#include "report/widgets/ReportPrinting.h"

#include "data/FileTable.h"
#include "report/paint/PainterSurface.h"
#include "report/widgets/PrintPreview.h"
#include "report/widgets/TextPrinter.h"
#include "shell/Settings.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace brisden {

namespace {

const QString kReportFilter =
    QStringLiteral("Text Files (*.TXT)|*.TXT|(*.csv)|*.csv|All Files|*.*");

// The filter in the form of Qt's file dialogs: "Name (patterns)" per entry.
QStringList QtFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        const QString patterns = parts[i + 1];
        if (!name.contains(QLatin1Char('(')))
            name += QStringLiteral(" (") + patterns + QLatin1Char(')');
        else if (name.startsWith(QLatin1Char('(')))
            name = patterns.mid(2).toUpper() + QStringLiteral(" files ") + name;
        filters << name;
    }
    return filters;
}

}  // namespace

AppendOverwrite::AppendOverwrite(const QString& path, ui::IHelp* help, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AppendOverwrite"));
    setWindowTitle(QStringLiteral("File Output Options"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("The local file you have chosen:"), this));
    auto* file = new QLabel(path, this);
    file->setObjectName(QStringLiteral("lblPath"));
    layout->addWidget(file);
    layout->addWidget(new QLabel(QStringLiteral("already exists.  What would you like to do?"), this));
    auto* buttons = new QHBoxLayout;
    const char* captions[3] = {"&Append", "&Overwrite", "&Cancel"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QPushButton(QString::fromLatin1(captions[i]), this);
        b->setObjectName(QStringLiteral("Command1_%1").arg(i));
        connect(b, &QPushButton::clicked, this, [this, i] {
            Tag = QString::number(i + 1);
            accept();
        });
        buttons->addWidget(b);
    }
    auto* helpButton = new QPushButton(QStringLiteral("&Help"), this);
    connect(helpButton, &QPushButton::clicked, this, [help] {
        if (help)
            help->ShowHelpTopic(ui::HelpAppendOverwrite);
    });
    buttons->addWidget(helpButton);
    layout->addLayout(buttons);
    Tag = QStringLiteral("3");
}

ReportPrinting::ReportPrinting(const ReportPrintingContext& context, QWidget* owner)
    : m(context), m_owner(owner), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    m_chooseSave = [this](const QString& start, const QString& filter, int index) {
        const QStringList filters = QtFilters(filter);
        QString selected = filters.value(index - 1);
        QFileDialog dialog(m_owner, QString(), start);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(selected);
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().first();
    };
    m_chooseAppend = [this](const QString& path) {
        AppendOverwrite dialog(path, m.help, m_owner);
        dialog.exec();
        return dialog.Tag;
    };
}

ReportPrinting::~ReportPrinting()
{
    delete m_preview.data();
}

PrintPreview& ReportPrinting::preview()
{
    if (!m_preview)
        m_preview = new PrintPreview(m.settings, m.IniPath, m.ProgramTitle, m.help, m_owner);
    return *m_preview;
}

PrintFont ReportPrinting::font() const
{
    PrintFont font;
    font.name = m.settings.Font;
    font.size = m.settings.TextFontSize > 0 ? m.settings.TextFontSize : 10;
    font.bold = m.settings.TextBold.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    font.italic = m.settings.TextItalic.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    return font;
}

int ReportPrinting::StartReport(int option, const QString& what, const QString& printerName,
                                std::int16_t& orientation)
{
    if (option == 3)
        return startFile(what);
    return startPrinter(option, what, printerName, orientation);
}

int ReportPrinting::startFile(const QString& what)
{
    const QString upper = LastReportPath.toUpper();
    const int filterIndex = upper.endsWith(QLatin1String("CSV"))   ? 2
                            : upper.endsWith(QLatin1String("TXT")) ? 1
                                                                   : 3;
    const QString path = m_chooseSave(LastReportPath, kReportFilter, filterIndex);
    if (path.isEmpty())
        return 0;
    if (path.trimmed().isEmpty() || path.toUpper().endsWith(QLatin1String(".DAT"))) {
        m.messages.show(QStringLiteral("Illegal pathname"), ui::Icon::Exclamation);
        return 0;
    }
    // Probe: an existing file may be appended to or overwritten.
    m.files.OpenFile(ShortSlot, path, QStringLiteral("I"), QStringLiteral("R"), 0);
    const int probe = m.files.fileNumber(ShortSlot);
    m.files.CloseFile(ShortSlot);
    if (probe < 0 && -probe != ErrFileNotFound) {
        m.messages.beep();
        m.messages.show(QStringLiteral("Error: ") + ErrorText(-probe), ui::Icon::Exclamation);
        return 0;
    }
    FileMode = QStringLiteral("O");
    FileAccess = QStringLiteral("W");
    if (probe >= 1) {
        const QString answer = m_chooseAppend(path);
        if (answer == QLatin1String("3"))
            return 0;
        if (answer == QLatin1String("1")) {
            FileMode = QStringLiteral("A");
            FileAccess = QStringLiteral("RW");
        }
    }
    LastReportPath = path;
    m.files.OpenFile(ShortSlot, path, FileMode, FileAccess, 0);
    if (!m.files.isOpen(ShortSlot)) {
        const int error = -m.files.fileNumber(ShortSlot);
        m.files.CloseFile(ShortSlot);
        m.messages.beep();
        m.messages.show(QStringLiteral("Error: ") + ErrorText(error), ui::Icon::Exclamation);
        return 0;
    }
    m.log.LogSession(what + QStringLiteral(" directed to ") + path);
    return DestinationFile;
}

int ReportPrinting::startPrinter(int option, const QString& what, const QString& printerName,
                                 std::int16_t& orientation)
{
    const int selected = SelectPrinterByName(*m_printer, printerName, orientation);
    if (selected == PrinterOrientationRefused) {
        m.messages.show(QStringLiteral("Error: The chosen printer, ") + printerName +
                            QStringLiteral(", doesn't support the orientation chosen."),
                        ui::Icon::Exclamation);
        return 0;
    }
    if (selected >= static_cast<int>(QPrinterInfo::availablePrinters().size())) {
        m.messages.show(QStringLiteral("The chosen printer: ") + printerName +
                            QStringLiteral(" is not available, please try another."),
                        ui::Icon::Exclamation);
        return 0;
    }
    if (option == 2) {
        if (ConfirmDeviceReady(m.messages, m_printer->printerName(), orientation) == 2)
            return 0;
        m.log.LogSession(what + QStringLiteral(" directed to printer ") + m_printer->printerName());
        return DestinationPrinter;
    }
    m.log.LogSession(what + QStringLiteral(" directed to Print preview window"));
    return DestinationPreview;
}

void ReportPrinting::RunReport(int destination, int linesPerPage, ReportState& report,
                               const std::function<void(ReportJob*)>& run)
{
    if (destination == DestinationFile) {
        run(nullptr);
        return;
    }
    std::unique_ptr<ReportJob> job = BeginJob(destination, linesPerPage);
    if (!job)
        return;
    if (destination == DestinationPreview) {
        const std::int32_t from = report.ListFromDate;
        const std::int32_t to = report.ListToDate;
        preview().setPrintActions(
            [this, &report, from, to, linesPerPage, run] {
                report.ListFromDate = from;
                report.ListToDate = to;
                if (std::unique_ptr<ReportJob> again = BeginJob(DestinationPrinter, linesPerPage))
                    run(again.get());
            },
            [this, &report, from, to, run](const QString& path) {
                report.ListFromDate = from;
                report.ListToDate = to;
                if (std::unique_ptr<ReportJob> pdf = BeginPdfJob(path))
                    run(pdf.get());
            });
    }
    run(job.get());
}

std::unique_ptr<ReportJob> ReportPrinting::BeginJob(int destination, int linesPerPage)
{
    std::unique_ptr<ReportJob> job(new ReportJob(*this));
    PageComposer& c = job->m_composer;
    c.Margins = Margins;
    const int orientation =
        m_printer->pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
    const PageMetrics page = MetricsOf(m_printer->pageLayout());
    if (destination == DestinationPrinter) {
        SendPrinterCodes(m_printer->printerName(), m.settings.PrinterInitString, m.messages);
        if (!job->m_painter.begin(m_printer.get())) {
            m.messages.show(QStringLiteral("Error: The printer ") + m_printer->printerName() +
                                QStringLiteral(" could not start the report."),
                            ui::Icon::Exclamation);
            return nullptr;
        }
        job->m_onPrinter = true;
        job->m_printerSurface = std::make_unique<PainterSurface>(
            job->m_painter, m_printer.get(), page, m_printer->resolution(), font(), orientation,
            m_printer->printerName());
        c.PreparePrintSurface(*job->m_printerSurface);
        c.setSurface(job->m_printerSurface.get());
    } else {
        // The preview copies the printer's geometry onto its page picture.
        job->m_previewSurface = preview().Setup(page, m_printer->printerName(), font(),
                                                orientation, linesPerPage);
        c.PreparePrintSurface(*job->m_previewSurface);
        c.setSurface(job->m_previewSurface.get());
        c.PreviewOverflow = false;
    }
    m.report.ReportDestination = DestinationPrinter;
    c.ApplyScale();
    return job;
}

std::unique_ptr<ReportJob> ReportPrinting::BeginPdfJob(const QString& path)
{
    m_pdf = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_pdf->setOutputFormat(QPrinter::PdfFormat);
    m_pdf->setOutputFileName(path);
    m_pdf->setPageLayout(m_printer->pageLayout());
    m_pdf->setDocName(m.ProgramTitle);
    std::unique_ptr<ReportJob> job(new ReportJob(*this));
    PageComposer& c = job->m_composer;
    c.Margins = Margins;
    if (!job->m_painter.begin(m_pdf.get())) {
        m.messages.show(QStringLiteral("Error: ") + path + QStringLiteral(" cannot be written."),
                        ui::Icon::Exclamation);
        return nullptr;
    }
    const int orientation = m_pdf->pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
    job->m_printerSurface = std::make_unique<PainterSurface>(
        job->m_painter, m_pdf.get(), MetricsOf(m_pdf->pageLayout()), m_pdf->resolution(), font(),
        orientation, QStringLiteral("PDF"));
    c.PreparePrintSurface(*job->m_printerSurface);
    c.setSurface(job->m_printerSurface.get());
    m.report.ReportDestination = DestinationPrinter;
    c.ApplyScale();
    return job;
}

ReportJob::ReportJob(ReportPrinting& owner)
    : m_owner(owner),
      m_composer(owner.m.report, owner.m.ProgramTitle, QLocale::system())
{
}

ReportJob::~ReportJob()
{
    if (!m_finished && m_painter.isActive())
        m_painter.end();
}

void ReportJob::finish()
{
    m_finished = true;
    const ReportPrintingContext& m = m_owner.m;
    if (m_printerSurface) {
        const bool ended = m_printerSurface->EndDoc();
        if (ended && m_onPrinter)
            SendPrinterCodes(m_owner.printer().printerName(), m.settings.PrinterResetString,
                             m.messages);
        m_composer.setSurface(nullptr);
        return;
    }
    PrintPreview& preview = m_owner.preview();
    PagePictureSurface* pictures = m_previewSurface.get();
    m_composer.ShowPrintPreview(
        &m.messages, &m.log, [&preview, pictures] { preview.ShowReport(*pictures); },
        [&preview] { preview.hide(); });
}

}  // namespace brisden
