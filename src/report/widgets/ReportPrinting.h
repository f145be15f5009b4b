#pragma once
// What the report dialogs share: the start of a report on its destination
// (a file chosen in the save dialog, the printer chosen by its name, or the
// print preview), the printer with the current margins, and one printed job
// from the printer's init codes to its reset codes or the preview window.

#include "report/PageComposer.h"
#include "report/PrintSurface.h"
#include "report/ReportState.h"
#include "report/widgets/PrintPreview.h"
#include "ui/Help.h"
#include "ui/Interaction.h"

#include <QDialog>
#include <QPainter>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>

class QPrinter;

namespace brisden {

class FileTable;
class PagePictureSurface;
class PainterSurface;
class PrintPreview;
class Settings;

// AppendOverwrite ("File Output Options"): "1" append, "2" overwrite, "3" cancel.
class AppendOverwrite final : public QDialog {
    Q_OBJECT
public:
    AppendOverwrite(const QString& path, ui::IHelp* help, QWidget* parent);
    QString Tag;
};

struct ReportPrintingContext {
    FileTable& files;
    const Settings& settings;
    ReportState& report;
    ui::IMessageBox& messages;
    ui::ILogSink& log;
    ui::IHelp* help;
    QString ProgramTitle;
    QString IniPath;
};

class ReportPrinting;

// One report on the printer or the preview: the composer on its surface.
class ReportJob {
public:
    ~ReportJob();
    PageComposer& composer() { return m_composer; }
    // Ends the document, sends the reset codes after a printer's document,
    // and shows the preview (or closes it when nothing was printed).
    void finish();

private:
    friend class ReportPrinting;
    explicit ReportJob(ReportPrinting& owner);
    ReportPrinting& m_owner;
    PageComposer m_composer;
    QPainter m_painter;
    std::unique_ptr<PainterSurface> m_printerSurface;
    std::unique_ptr<PagePictureSurface> m_previewSurface;
    bool m_onPrinter = false;
    bool m_finished = false;
};

class ReportPrinting {
public:
    ReportPrinting(const ReportPrintingContext& context, QWidget* owner);
    ~ReportPrinting();

    QPrinter& printer() { return *m_printer; }
    // The current margins: top, bottom, left, right in thousandths of an inch.
    std::array<int, 4> Margins{0, 0, 0, 0};
    // The last report file (the save dialog starts there).
    QString LastReportPath;
    // The report's name in the log lines: "Listing" or "Basis worksheet".
    // Option: 1 preview, 2 printer, 3 file (the dialogs' option buttons).
    // Returns the destination (2 printer, 3 preview, 4 file, with the report
    // file open in slot 3), or 0 when the dialog stays open.
    int StartReport(int option, const QString& what, const QString& printerName,
                    std::int16_t& orientation);
    // The file mode of the report file: "O"/"W" new, "A"/"RW" append.
    QString FileMode = QStringLiteral("O");
    QString FileAccess = QStringLiteral("W");

    // A job on the printer (destination 2) or the preview (3), prepared and
    // scaled; null when the printer cannot start a document (reported).
    std::unique_ptr<ReportJob> BeginJob(int destination, int linesPerPage);
    // The same report again into a PDF file with the printer's page.
    std::unique_ptr<ReportJob> BeginPdfJob(const QString& path);
    // Runs a report on its destination: the report file (run gets no job),
    // the printer, or the preview, from which the same report can go to the
    // printer or a PDF with the dates it was made for.
    void RunReport(int destination, int linesPerPage, ReportState& report,
                   const std::function<void(ReportJob*)>& run);

    // The preview window (made on first use).
    PrintPreview& preview();
    bool hasPreview() const { return m_preview != nullptr; }
    PrintFont font() const;

    // The save-file dialog (tests answer it): the chosen path or "".
    using SaveChooser =
        std::function<QString(const QString& startPath, const QString& filter, int filterIndex)>;
    void setSaveChooser(SaveChooser chooser) { m_chooseSave = std::move(chooser); }
    // The append/overwrite question (tests answer it): "1", "2" or "3".
    void setAppendChooser(std::function<QString(const QString& path)> chooser)
    {
        m_chooseAppend = std::move(chooser);
    }

    const ReportPrintingContext& context() const { return m; }
    QWidget* owner() const { return m_owner; }

private:
    friend class ReportJob;
    int startFile(const QString& what);
    int startPrinter(int option, const QString& what, const QString& printerName,
                     std::int16_t& orientation);

    ReportPrintingContext m;
    QWidget* m_owner;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPrinter> m_pdf;
    QPointer<PrintPreview> m_preview;
    int m_linesPerPage = 0;
    SaveChooser m_chooseSave;
    std::function<QString(const QString&)> m_chooseAppend;
};

}  // namespace brisden
