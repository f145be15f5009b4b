// "Import data..." as the user meets it: the dialog with a saved and a
// one-time layout, its preview (refused lines, repeats of ledger records left
// out), a file dropped on the grid, a long import cancelled half-way, and a
// read-only file refused.

#include "GuiTestSupport.h"

#include "import/widgets/ImportCommands.h"
#include "import/widgets/ImportDialog.h"
#include "import/widgets/ImportPreviewModel.h"
#include "shell/IniFile.h"

using namespace brisden;
using namespace brisden::test;

namespace {

const QString Full = QStringLiteral("Date Description Amount Price Shares MDY");

// A two-record ledger open in the program, whose notices are recorded (the
// end of an import waits for the user in the real window).
struct OpenLedger {
    StartedProgram p;
    FakeNotices notices;
    QString dat = WriteLedger(p.dir.path() + QStringLiteral("/Fund.dat"),
                              {{20200102, "buy", 1000, 10, 0}, {20200601, "price", 0, 12, 0}});

    bool open()
    {
        if (!StartAndOpen(p, dat, QStringLiteral("My fund")))
            return false;
        p.program().log.setDisplay(&notices);
        return true;
    }
    MainWindow& window() { return *p.window; }
    ImportCommands& import() { return p.window->importCommands(); }
    QString source(const QByteArray& text, const QString& name = QStringLiteral("in.csv"))
    {
        const QString path = p.dir.path() + QLatin1Char('/') + name;
        WriteAll(path, text);
        return path;
    }
    QString savedSchema() const
    {
        return ReadINI(QStringLiteral("General"), QStringLiteral("ImportSchema"), QString(),
                       p.ini());
    }
};

// Runs "Import data..." and lets answer work the dialog while it shows.
void RunImport(OpenLedger& l, std::function<void(ImportDialog&)> answer)
{
    QTimer::singleShot(0, &l.window(), [&l, answer] {
        ImportDialog* d = l.import().dialog();
        QVERIFY(d->isVisible());
        answer(*d);
    });
    l.window().action("mnuImportItem")->trigger();
}

}  // namespace

class ImportTest : public QObject {
    Q_OBJECT

private slots:
    void importWithSavedAndOneTimeLayouts();
    void previewMarksRefusedLinesAndRepeats();
    void droppedFileThenALongImportCancelled();
    void readOnlyFileIsRefusedBeforeTheDialog();
};

void ImportTest::importWithSavedAndOneTimeLayouts()
{
    OpenLedger l;
    QVERIFY(l.open());
    const QString source = l.source("12/31/04,Fund buy,100,10,\r\n01/05/05,,-50,5\r\n");
    const QString missing = l.p.dir.path() + QStringLiteral("/missing.csv");
    const int rowsBefore = l.window().ledger().listedRows();

    // The fields chosen in the boxes. A file that cannot be read keeps the
    // dialog open; then OK with the saved layout.
    RunImport(l, [&](ImportDialog& d) {
        const QStringList fields = {QStringLiteral("Date"), QStringLiteral("Description"),
                                    QStringLiteral("Amount"), QStringLiteral("Price"),
                                    QStringLiteral("Shares")};
        for (int i = 0; i < 5; ++i)
            d.Text2(i)->setCurrentText(fields.at(i));
        d.optDatFmt(0)->setChecked(true);
        d.Text1()->setText(missing);
        d.Command2(0)->click();
        QVERIFY(d.isVisible());
        d.Text1()->setText(source);
        d.Command2(0)->click();
    });
    // (The listing after the import adds its own notes.)
    QCOMPARE(l.p.messages.texts().filter(QStringLiteral("Can't access")),
             QStringList(QStringLiteral("Can't access ") + missing));
    QCOMPARE(l.savedSchema(), Full);
    QCOMPARE(l.p.program().settings.ImportSchema, Full);
    QCOMPARE(RecordLines(l.dat).mid(2),
             (QStringList{QStringLiteral("20041231,0,Fund buy ,100,10,0"),
                          QStringLiteral("20050105,0,Sale imp.,-50,5,-10")}));
    // The grid lists the new records; the notices end with the waited "Import finished".
    QCOMPARE(l.window().ledger().listedRows(), rowsBefore + 2);
    QCOMPARE(l.notices.notices,
             (QStringList{QStringLiteral("Importing ") + source, QStringLiteral("Lines read: 2"),
                          QStringLiteral("Import finished")}));
    QCOMPARE(l.notices.waited.back(), true);
    QVERIFY(!l.p.program().files.isOpen(ShortSlot));

    // The next time the saved layout is there again, whatever the dialog
    // showed; a one-time layout imports without replacing it.
    const QString dmy = l.source("\"Other, two\",31/01/2006,0,7\r\n", QStringLiteral("dmy.txt"));
    l.import().dialog()->setSchema(ImportSchema());
    RunImport(l, [&](ImportDialog& d) {
        QCOMPARE(d.schema().SchemaString(), Full);
        QCOMPARE(d.Text1()->text(), source);  // the path stays from the last time
        d.setSchema(ImportSchema::FromSaved(
            QStringLiteral("Description Date Amount Price *Not_Used* DMY")));
        d.Check1()->setChecked(true);
        d.Text1()->setText(dmy);
        d.Command2(0)->click();
    });
    QCOMPARE(l.savedSchema(), Full);
    QCOMPARE(RecordLines(l.dat).last(), QStringLiteral("20060131,0,Other, tw,0,7,0"));
    QCOMPARE(l.window().ledger().listedRows(), rowsBefore + 3);

    // Cancel imports nothing; "this time only" starts cleared again. Help shows
    // the import topic; without a help viewer its button cannot be pressed.
    const QByteArray before = ReadAll(l.dat);
    FakeHelp help;
    l.import().setHelp(&help);
    RunImport(l, [](ImportDialog& d) {
        QVERIFY(!d.Check1()->isChecked());
        d.cmdHelp()->click();
        d.Command2(1)->click();
    });
    QCOMPARE(l.import().dialog()->Tag, QStringLiteral("1"));
    QCOMPARE(ReadAll(l.dat), before);
    QCOMPARE(help.topics, QList<int>{ui::HelpImport});
    l.import().setHelp(nullptr);
    RunImport(l, [](ImportDialog& d) {
        QVERIFY(!d.cmdHelp()->isEnabled());
        d.Command2(1)->click();
    });
}

void ImportTest::previewMarksRefusedLinesAndRepeats()
{
    OpenLedger l;
    QVERIFY(l.open());
    QString source = l.source("1/1/05,Good,100,10\r\n1/2/05,Bad,ten,10\r\n13/45/05,Late,5,1\r\n");
    RunImport(l, [&](ImportDialog& d) {
        d.setSchema(ImportSchema::FromSaved(Full));
        d.Text1()->setText(source);
        d.refreshPreview();
        ImportPreviewModel* m = d.previewModel();
        QCOMPARE(m->rowCount(), 3);
        auto cell = [m](int row, int column, int role = Qt::DisplayRole) {
            return m->data(m->index(row, column), role);
        };
        QCOMPARE(cell(1, ImportPreviewModel::NoteColumn).toString(),
                 QStringLiteral("Refused: the Amount field \"ten\" is not a number"));
        QCOMPARE(cell(1, ImportPreviewModel::ImportColumn, Qt::CheckStateRole).toInt(),
                 int(Qt::Unchecked));
        QVERIFY(!(m->flags(m->index(1, 0)) & Qt::ItemIsUserCheckable));
        QVERIFY(cell(2, ImportPreviewModel::NoteColumn).toString().startsWith(
            QStringLiteral("Invalid date")));
        QCOMPARE(d.previewSummary()->text(),
                 QStringLiteral("All 3 lines of the file: 2 will be imported (1 would be "
                                "refused, 1 with an invalid date)."));
        // A schema change reads the lines again: the amount is not used now.
        d.Text2(2)->setCurrentText(QStringLiteral("*Not_Used*"));
        QCOMPARE(cell(1, ImportPreviewModel::NoteColumn).toString(), QString());
        d.Text2(2)->setCurrentText(QStringLiteral("Amount"));
        d.Command2(0)->click();
    });
    QCOMPARE(RecordLines(l.dat).size(), 4);
    // After the run the lines in error stand in the notices before the end.
    const QStringList n = l.notices.notices;
    QCOMPARE(n.size(), 5);
    QCOMPARE(n.at(3), QStringLiteral("Line 2: the Amount field \"ten\" is not a number, the line "
                                     "was not imported\nInvalid date found at line 3"));
    QCOMPARE(n.at(4), QStringLiteral("Import finished"));
    QCOMPARE(l.notices.waited.at(3), false);

    // Repeats of ledger records are marked and can be left out: lines 1 and 3
    // repeat the ledger's first two records.
    source = l.source(
        "01/02/2020,again,1000,10\r\n01/03/2020,new,500,10\r\n06/01/2020,,0,12\r\n");
    RunImport(l, [&](ImportDialog& d) {
        d.setSchema(ImportSchema::FromSaved(Full));
        d.Text1()->setText(source);
        d.refreshPreview();
        ImportPreviewModel* m = d.previewModel();
        auto checked = [m](int row) {
            return m->data(m->index(row, 0), Qt::CheckStateRole).toInt() == Qt::Checked;
        };
        QVERIFY(m->note(0).startsWith(QStringLiteral("Probably already in the file")));
        QCOMPARE(m->note(1), QString());
        QVERIFY(checked(0) && checked(1) && checked(2));
        QVERIFY(d.previewSummary()->text().contains(QStringLiteral("2 probably already")));
        d.LeaveOutDuplicates()->click();
        QVERIFY(!checked(0) && checked(1) && !checked(2));
        // The user keeps the price line after all.
        QVERIFY(m->setData(m->index(2, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(d.previewSummary()->text().startsWith(
            QStringLiteral("All 3 lines of the file: 2 will be imported")));
        d.Command2(0)->click();
    });
    QCOMPARE(RecordLines(l.dat).mid(4),
             (QStringList{QStringLiteral("20200103,0,new      ,500,10,0"),
                          QStringLiteral("20200601,1,Price imp,0,12,0")}));
    QVERIFY(LogMessages(l.p.log())
                .contains(QStringLiteral("Line 1: left out, it repeats a record already in the "
                                         "file.")));
    QVERIFY(l.notices.notices.contains(QStringLiteral("Lines left out: 1")));
}

void ImportTest::droppedFileThenALongImportCancelled()
{
    OpenLedger l;
    QVERIFY(l.open());
    const QString source = l.source("1/1/05,Dropped,100,10\r\n", QStringLiteral("drop.txt"));
    WriteINI(QStringLiteral("General"), QStringLiteral("ImportSchema"), Full, l.p.ini());
    QWidget* viewport = l.window().grid()->viewport();
    QVERIFY(viewport->acceptDrops());

    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(source)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QVERIFY(enter.isAccepted());
    QCOMPARE(enter.dropAction(), Qt::CopyAction);
    // A drag that cannot be copied is refused.
    QDragEnterEvent moveOnly(QPoint(10, 10), Qt::MoveAction, &mime, Qt::LeftButton,
                             Qt::NoModifier);
    QApplication::sendEvent(viewport, &moveOnly);
    QVERIFY(!moveOnly.isAccepted());

    bool sawDialog = false;
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    QCOMPARE(drop.dropAction(), Qt::CopyAction);
    // Nothing happens during the drop itself: a timer starts the import.
    QVERIFY(l.import().Timer3()->isActive());
    QCOMPARE(RecordLines(l.dat).size(), 2);
    QTimer::singleShot(150, &l.window(), [&] {
        ImportDialog* d = l.import().dialog();
        sawDialog = d->isVisible();
        QCOMPARE(d->Text1()->text(), source);
        QCOMPARE(d->previewModel()->rowCount(), 1);
        d->Command2(0)->click();
    });
    QTRY_COMPARE(RecordLines(l.dat).size(), 3);
    QVERIFY(sawDialog);
    QCOMPARE(RecordLines(l.dat).last(), QStringLiteral("20050101,0,Dropped  ,100,10,0"));
    QVERIFY(!l.import().Timer3()->isActive());

    // A long import shows its progress and is cancelled between lines.
    QByteArray text;
    const int lines = 100000;
    text.reserve(lines * 32);
    for (int i = 0; i < lines; ++i)
        text += "1/" + QByteArray::number(1 + i % 28) + "/2005,Line " + QByteArray::number(i) +
                "," + QByteArray::number(10 + i % 90) + ",2.5\r\n";
    const QString longSource = l.source(text, QStringLiteral("long.csv"));

    // Cancelled with the progress window's button once a third is read.
    bool progressShown = false;
    QMetaObject::Connection c = connect(
        &l.import(), &ImportCommands::progressed, this, [&](qint64 done, qint64 total) {
            auto* progress =
                l.window().findChild<QProgressDialog*>(QStringLiteral("ImportProgress"));
            if (!progress || done * 3 < total || progress->wasCanceled())
                return;
            QVERIFY(l.window().busy());  // the window's commands wait meanwhile
            progressShown = progress->isVisible();
            progress->cancel();
        });
    RunImport(l, [&](ImportDialog& d) {
        d.Text1()->setText(longSource);
        d.Command2(0)->click();
    });
    disconnect(c);
    QVERIFY(!l.window().busy());
    const QStringList log = LogMessages(l.p.log());
    const QStringList cancelled = log.filter(QStringLiteral("Import cancelled after line "));
    QCOMPARE(cancelled.size(), 1);
    const int done = cancelled.first().mid(28).chopped(1).toInt();
    QVERIFY2(done > lines / 3 && done < lines, qPrintable(cancelled.first()));
    // The file holds the three records before and one whole record per line read.
    QCOMPARE(ReadAll(l.dat).size(), qsizetype(1 + 3 + done) * RecordLength);
    const std::vector<TransactionRecord> records = ReadRecords(l.dat);
    QCOMPARE(records.back().descText(), QStringLiteral("Line %1").arg(done - 1).left(9));
    // The grid was listed again: a new listing shows as many rows.
    const int listed = l.window().ledger().listedRows();
    QVERIFY(listed >= 3 + done);
    l.window().ledger().Refresh();
    QCOMPARE(l.window().ledger().listedRows(), listed);
    qInfo("cancelled after %d of %d lines (progress window shown: %s)", done, lines,
          progressShown ? "yes" : "no");

    // The whole file, timed.
    QElapsedTimer timer;
    timer.start();
    RunImport(l, [&](ImportDialog& d) { d.Command2(0)->click(); });
    qInfo("imported %d lines from the dialog in %lld ms", lines, timer.elapsed());
    QCOMPARE(ReadAll(l.dat).size(), qsizetype(1 + 3 + done + lines) * RecordLength);
}

void ImportTest::readOnlyFileIsRefusedBeforeTheDialog()
{
    OpenLedger l;
    QVERIFY(QFile::setPermissions(
        l.dat, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    QVERIFY(l.open());
    QVERIFY(l.p.program().file.readOnly());
    l.p.messages.shown.clear();
    l.window().action("mnuImportItem")->trigger();
    QCOMPARE(l.p.messages.texts().size(), 1);
    QVERIFY(l.p.messages.texts().first().startsWith(
        QStringLiteral("Can't import into ") + l.dat +
        QStringLiteral(": it is open read-only because it is marked read-only")));
    // The dialog was never made.
    QVERIFY(!l.window().findChild<ImportDialog*>());
}

QTEST_MAIN(ImportTest)
#include "tst_import.moc"
