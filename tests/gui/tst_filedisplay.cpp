// The portfolio window and its description input window, driven through
// their buttons with real portfolio and investment files in a temporary
// folder; messages and description answers go through the fakes.

#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "data/Portfolio.h"
#include "data/widgets/DescriptionInput.h"
#include "data/widgets/FileDisplay.h"
#include "data/widgets/PathEllipsis.h"
#include "shell/SessionLog.h"
#include "shell/Settings.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

using namespace brisden;
using namespace brisden::test;

namespace {

// Everything the window works on, in a temporary folder.
struct Desk {
    QTemporaryDir dir;
    FileTable files;
    Portfolio portfolio{files};
    InvestmentFile file{files};
    Settings settings;
    SessionLog log{files, dir.filePath(QStringLiteral("Application.log"))};
    FakeMessages messages;
    FakeInput input;
    std::unique_ptr<FileDisplay> window;

    Desk()
    {
        settings.SortByDesc = false;
        portfolio.CurrentPortfolio = dir.filePath(QStringLiteral("Test.def"));
        writePortfolio({});
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    // A ledger with one price update.
    QString ledger(const QString& name)
    {
        return WriteLedger(path(name), {{20240105, "Price", 0, 12.5, 0}});
    }

    // The definition file with the given path and description pairs.
    void writePortfolio(const QStringList& items)
    {
        QByteArray text = "\"Portfolio definition file\"\r\n";
        for (const QString& item : items)
            text += '"' + item.toLatin1() + "\"\r\n";
        WriteAll(portfolio.CurrentPortfolio, text);
    }

    QStringList definitionLines() const { return TextLines(portfolio.CurrentPortfolio); }
    FileDisplay& open()
    {
        window = std::make_unique<FileDisplay>(portfolio, file, settings, log, messages, input);
        window->show();
        return *window;
    }

    // Selects the rows of the given files.
    void select(const QStringList& paths)
    {
        QListWidget* list = window->fileList();
        for (int row = 0; row < list->count(); ++row)
            list->item(row)->setSelected(paths.contains(list->item(row)->toolTip()));
    }

    void click(int command) { window->commandButton(command)->click(); }
    // The buttons that can be pressed, in command order: "1" enabled, "0" not.
    QString enabledCommands() const
    {
        QString flags;
        for (int c = FileDisplay::OpenCommand; c <= FileDisplay::EditCommand; ++c)
            flags += window->commandButton(c)->isEnabled() ? u'1' : u'0';
        return flags;
    }
};

QStringList RowDescriptions(const QListWidget* list)
{
    QStringList descriptions;
    for (int row = 0; row < list->count(); ++row)
        descriptions << list->item(row)->text().section(QLatin1Char('\t'), 1);
    return descriptions;
}

}  // namespace

class TestFileDisplay : public QObject {
    Q_OBJECT

private slots:
    void rowsAndTheirSortOrder();
    void addDescribeAndRemoveFlow();
    void openingAndClosing();
    void descriptionInputWindow();
    void pathWithEllipses();
};

// Rows show the path, shortened to its column, and the description; the sort
// options reorder them and are remembered.
void TestFileDisplay::rowsAndTheirSortOrder()
{
    Desk desk;
    const QString shortPath = QStringLiteral("/a/b.dat");
    const QString longPath = QStringLiteral(
        "/home/investor/some/very/deep/folder/structure/"
        "with/many/levels/Long_fund_name.dat");
    desk.writePortfolio({shortPath, QStringLiteral("zebra"), longPath, QStringLiteral("Apple"),
                         desk.path(QStringLiteral("c.dat")), QStringLiteral("mango")});
    FileDisplay& window = desk.open();
    QListWidget* list = window.fileList();
    QVERIFY(window.sortOption(0)->isChecked());
    QCOMPARE(list->item(0)->text(), shortPath.leftJustified(40) + QStringLiteral("\tzebra"));
    const QString column = list->item(1)->text().section(QLatin1Char('\t'), 0, 0);
    QCOMPARE(column.size(), 40);
    QVERIFY(column.contains(QStringLiteral("...")));
    QVERIFY(column.trimmed().endsWith(QStringLiteral(".dat")));
    QCOMPARE(list->item(1)->toolTip(), longPath);
    QCOMPARE(RowDescriptions(list), QStringList({"zebra", "Apple", "mango"}));
    QCOMPARE(desk.enabledCommands(), QStringLiteral("11111"));
    QVERIFY(!window.helpButton()->isVisible());

    window.sortOption(1)->click();
    QVERIFY(desk.settings.SortByDesc);
    QCOMPARE(RowDescriptions(list), QStringList({"Apple", "mango", "zebra"}));
    // A sort order changed elsewhere while the window was hidden is honoured
    // when it shows again.
    window.hide();
    desk.settings.SortByDesc = false;
    window.show();
    QVERIFY(window.sortOption(0)->isChecked());
    QCOMPARE(RowDescriptions(list).first(), QStringLiteral("zebra"));
}

namespace {

// Sends a file manager's drag and drop of the given files to the window.
bool DropFiles(QWidget& target, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPoint at = target.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &drop);
    return drop.isAccepted();
}

}  // namespace

// Adding through the file dialog, describing, removing; adding by dropping files.
void TestFileDisplay::addDescribeAndRemoveFlow()
{
    Desk desk;
    FileDisplay& window = desk.open();
    QCOMPARE(desk.enabledCommands(), QStringLiteral("01010"));  // Add and Close only
    const QString fresh = desk.path(QStringLiteral("New fund.dat"));
    QString startedAt;
    window.setChooseFile([&](QWidget*, const QString& start) {
        startedAt = start;
        return fresh;
    });
    desk.input.answers.push_back(QStringLiteral("  New money fund  "));
    desk.click(FileDisplay::AddCommand);

    QCOMPARE(startedAt, desk.dir.path());
    QCOMPARE(desk.input.asked.at(0).title, window.windowTitle());
    QVERIFY(QFileInfo::exists(fresh));
    QCOMPARE(desk.definitionLines().last(), QStringLiteral("\"New money fund\""));
    QCOMPARE(RowDescriptions(window.fileList()), QStringList({QStringLiteral("New money fund")}));
    QCOMPARE(desk.enabledCommands(), QStringLiteral("11111"));

    // Describe it anew: the old description is offered.
    desk.select({fresh});
    desk.input.answers.push_back(QStringLiteral("Renamed fund"));
    desk.click(FileDisplay::EditCommand);
    QCOMPARE(desk.input.asked.back().defaultText, QStringLiteral("New money fund"));
    QCOMPARE(RowDescriptions(window.fileList()), QStringList({QStringLiteral("Renamed fund")}));

    // Remove it: the entry goes, the file stays.
    desk.select({fresh});
    desk.click(FileDisplay::RemoveCommand);
    QCOMPARE(desk.definitionLines(),
             QStringList({QStringLiteral("\"Portfolio definition file\"")}));
    QVERIFY(QFileInfo::exists(fresh));
    QCOMPARE(desk.enabledCommands(), QStringLiteral("01010"));

    // A cancelled file dialog changes nothing.
    window.setChooseFile([](QWidget*, const QString&) { return QString(); });
    const size_t asked = desk.input.asked.size();
    desk.click(FileDisplay::AddCommand);
    QCOMPARE(desk.input.asked.size(), asked);

    // Dropped files are added after the drop, not during it.
    const QString a = desk.ledger(QStringLiteral("A.dat"));
    const QString b = desk.ledger(QStringLiteral("B.dat"));
    desk.input.answers = {QStringLiteral("Alpha"), QStringLiteral("Beta")};
    const qsizetype logged = TextLines(desk.log.path()).size();
    QVERIFY(DropFiles(window, {a, b}));
    QCOMPARE(window.pendingAdditions().size(), size_t(2));
    QCOMPARE(desk.input.asked.size(), asked);
    QTRY_COMPARE(window.fileList()->count(), 2);
    QVERIFY(window.pendingAdditions().empty());
    QCOMPARE(desk.input.asked.size(), asked + 2);
    QCOMPARE(desk.input.asked[asked].prompt.section(QLatin1Char('\n'), 1), a);
    QCOMPARE(desk.input.asked[asked + 1].prompt.section(QLatin1Char('\n'), 1), b);
    QCOMPARE(TextLines(desk.log.path()).size(), logged + 2);
    QVERIFY(window.fileList()->isEnabled());  // (a cancelled queue: the portfolio tests)

    // Something that is not a file is not taken.
    QMimeData text;
    text.setText(QStringLiteral("hello"));
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    QVERIFY(!enter.isAccepted());
}

// A failed open keeps the window, a file of the wrong format closes the
// current one, "&Close" and Escape open it again; a good file is opened, the
// first of several selected or by a double click; several files described
// and removed at once.
void TestFileDisplay::openingAndClosing()
{
    Desk desk;
    const QString another = desk.ledger(QStringLiteral("Another.dat"));
    const QString fund = desk.ledger(QStringLiteral("Fund.dat"));
    const QString gone = desk.path(QStringLiteral("Gone.dat"));
    const QString old = desk.path(QStringLiteral("Old.dat"));
    QByteArray oldBytes(41, '\0');
    oldBytes[0] = 4;  // written by version 4
    WriteAll(old, oldBytes);
    desk.writePortfolio({another, QStringLiteral("Another"), fund, QStringLiteral("Fund"), gone,
                         QStringLiteral("Gone"), old, QStringLiteral("Old")});
    QVERIFY(OpenInvestmentFile(desk.file, fund, QStringLiteral("Fund"), desk.messages));
    FileDisplay& window = desk.open();
    QCOMPARE(window.outcome(), QStringLiteral("2"));
    // The current file's row is the current row.
    QCOMPARE(window.fileList()->currentItem()->toolTip(), fund);

    desk.select({gone});
    desk.click(FileDisplay::OpenCommand);
    QCOMPARE(desk.messages.shown.size(), size_t(1));  // its text: the investment file tests
    QVERIFY(window.isVisible());
    QCOMPARE(desk.file.CurrentFile, fund);

    // A file of the wrong format closes the current one ...
    desk.select({old});
    desk.click(FileDisplay::OpenCommand);
    QCOMPARE(desk.messages.shown.size(), size_t(2));
    QVERIFY(desk.messages.shown[1].text.startsWith(old + QStringLiteral(" is the wrong format.")));
    QVERIFY(window.isVisible());
    QVERIFY(!desk.file.isOpen());

    // ... and "&Close" opens it again.
    desk.click(FileDisplay::CloseCommand);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.outcome(), QStringLiteral("2"));
    QCOMPARE(window.result(), int(QDialog::Rejected));
    QCOMPARE(desk.file.CurrentFile, fund);
    QVERIFY(desk.file.isOpen());
    QCOMPARE(desk.files.path(InvestmentSlot), fund);

    // Escape behaves as "&Close".
    window.show();
    desk.file.close();
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
    QVERIFY(desk.file.isOpen());

    // With two rows selected the first one in the list is opened.
    window.show();
    desk.select({fund, another});
    desk.click(FileDisplay::OpenCommand);
    QCOMPARE(desk.messages.shown.size(), size_t(2));
    QCOMPARE(window.outcome(), QStringLiteral("1"));
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QVERIFY(!window.isVisible());
    QCOMPARE(desk.file.CurrentFile, another);
    QCOMPARE(desk.file.CurrentFileDesc, QStringLiteral("Another"));
    QVERIFY(desk.file.isOpen());

    // Shown again, the window starts without a choice, and a double click opens.
    window.show();
    QCOMPARE(window.outcome(), QStringLiteral("2"));
    QListWidget* list = window.fileList();
    QListWidgetItem* second = list->item(1);
    list->clearSelection();
    second->setSelected(true);
    emit list->itemDoubleClicked(second);
    QCOMPARE(window.outcome(), QStringLiteral("1"));
    QCOMPARE(desk.file.CurrentFile, fund);

    // Commands on several selected rows reach every one; the list follows.
    window.show();
    desk.select({another, old});
    desk.input.answers = {QString(), QStringLiteral("  Bonds  ")};  // kept; trimmed
    desk.click(FileDisplay::EditCommand);
    QCOMPARE(desk.input.asked.size(), size_t(2));
    QCOMPARE(RowDescriptions(list), QStringList({"Another", "Fund", "Gone", "Bonds"}));
    // All of them: the current file is refused, the others go.
    desk.select({another, fund, gone, old});
    QCOMPARE(window.selectedPositions().size(), size_t(4));
    desk.click(FileDisplay::RemoveCommand);
    QCOMPARE(desk.messages.shown.size(), size_t(3));  // (its text and the log: the portfolio tests)
    QCOMPARE(RowDescriptions(list), QStringList({"Fund"}));
    QVERIFY(desk.file.isOpen());  // the current file stays open
}

void TestFileDisplay::descriptionInputWindow()
{
    DescriptionInput input;
    const QString prompt = DescriptionPrompt(QStringLiteral("/x/Fund.dat"));
    input.prepare(QStringLiteral("Select an investment file in this portfolio"), prompt,
                  QStringLiteral("Old text"));
    QCOMPARE(input.windowTitle(), QStringLiteral("Select an investment file in this portfolio"));
    QCOMPARE(input.textBox()->text(), QStringLiteral("Old text"));

    // "&Ok" answers the text without surrounding blanks.
    QTimer::singleShot(0, &input, [&input] {
        input.textBox()->setText(QStringLiteral("   Income fund  "));
        input.okButton()->click();
    });
    QCOMPARE(input.exec(), int(QDialog::Accepted));
    QCOMPARE(input.answer(), QStringLiteral("Income fund"));

    // "&Cancel" answers the empty string, whatever was typed. Without a
    // title the window has its own.
    input.prepare(QString(), prompt, QStringLiteral("Kept"));
    QCOMPARE(input.windowTitle(), QStringLiteral("Input request"));
    QTimer::singleShot(0, &input, [&input] {
        input.textBox()->setText(QStringLiteral("typed"));
        input.cancelButton()->click();
    });
    QCOMPARE(input.exec(), int(QDialog::Rejected));
    QCOMPARE(input.answer(), QString());

    // At most 100 characters can be typed.
    input.textBox()->setText(QString(150, QLatin1Char('x')));
    QCOMPARE(input.textBox()->text().size(), 100);
}

void TestFileDisplay::pathWithEllipses()
{
    QWidget window;
    const QFontMetrics metrics = window.fontMetrics();
    const QString path = QStringLiteral(
        "/home/investor/documents/portfolios/retirement/"
        "Sample_portfolio.def");
    const int full = metrics.horizontalAdvance(path);
    // A path that fits is left alone.
    QCOMPARE(PathWithEllipses(window, path, full), path);
    for (int width : {full / 2, full / 3, 180}) {
        const QString shortened = PathWithEllipses(window, path, width);
        QVERIFY2(shortened.contains(QStringLiteral("...")), qPrintable(shortened));
        QVERIFY(!shortened.contains(QChar(0x2026)));
        QVERIFY(metrics.horizontalAdvance(shortened) <= width);
        // The start and the end of the path survive; the middle goes.
        QVERIFY(shortened.startsWith(QLatin1Char('/')));
        QVERIFY(path.endsWith(shortened.section(QStringLiteral("..."), 1)));
        QVERIFY(path.startsWith(shortened.section(QStringLiteral("..."), 0, 0)));
    }
}

QTEST_MAIN(TestFileDisplay)
#include "tst_filedisplay.moc"
