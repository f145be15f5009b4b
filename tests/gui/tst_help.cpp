// The user manual and the help around it: every topic number of the program
// is a topic of the built collection with a short text, the help window shows
// topics, searches the manual and pops texts up at a point; the main window's
// help commands and about box; the notice when the manual is missing.

#include "GuiTestSupport.h"

#include "grid/widgets/GridEditor.h"
#include "help/HelpCollection.h"
#include "help/widgets/About.h"
#include "help/widgets/HelpCheck.h"
#include "help/widgets/HelpCommands.h"
#include "help/widgets/HelpWindow.h"

#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexModel>
#include <QHelpSearchEngine>

using namespace brisden;
using namespace brisden::test;

namespace {

// The topic numbers of ui::HelpTopic, read from its header.
std::map<QString, int> HelpTopicEnum()
{
    const QString header = QString::fromUtf8(ReadAll(QStringLiteral(BRISDEN_SOURCE_DIR "/src/ui/Help.h")));
    const qsizetype start = header.indexOf(QStringLiteral("enum HelpTopic"));
    const QString body = header.mid(start, header.indexOf(QStringLiteral("};"), start) - start);
    std::map<QString, int> ids;
    static const QRegularExpression entry(QStringLiteral("\\b(Help\\w+)\\s*=\\s*(\\d+)"));
    for (const QRegularExpressionMatch& m : entry.globalMatch(body))
        ids[m.captured(1)] = m.captured(2).toInt();
    return ids;
}

// The built collection, found from the program's folder as the program finds it.
QString BuiltCollection()
{
    return help::FindHelpCollection(QFileInfo(QStringLiteral(BRISDEN_APP)).absolutePath());
}

// A copy of the built collection in dir (the engine writes its search index
// beside the collection; each test has its own).
QString CopyCollection(const QString& dir)
{
    const QString built = BuiltCollection();
    const QString documentation =
        QFileInfo(built).dir().filePath(QLatin1String(help::kDocumentationFileName));
    QFile::copy(documentation, dir + QLatin1Char('/') + QLatin1String(help::kDocumentationFileName));
    const QString copy = dir + QLatin1Char('/') + QLatin1String(help::kCollectionFileName);
    QFile::copy(built, copy);
    return copy;
}

// Whether a page of the manual has the anchor of url's fragment (or url has none).
bool HasAnchor(const QByteArray& page, const QUrl& url)
{
    return !url.hasFragment() ||
           page.contains(QByteArray(QByteArray("name=\"") + url.fragment().toUtf8() + "\""));
}

}  // namespace

class HelpTest : public QObject {
    Q_OBJECT
private slots:
    void theManualsTopicsLinksSearchAndPopups();
    void collectionLookupOpeningAndPopupParsing();
    void mainWindowHelpMenuNoticeAndAboutBox();
};

void HelpTest::theManualsTopicsLinksSearchAndPopups()
{
    QVERIFY2(QFileInfo::exists(BuiltCollection()), qPrintable(BuiltCollection()));
    QTemporaryDir dir;
    help::HelpWindow window(CopyCollection(dir.path()), dir.path() + QStringLiteral("/cache"));

    // A pop-up text appears at the point, without the manual's window.
    window.ShowHelpPopup(ui::HelpDragDrop, QPoint(120, 90));
    QVERIFY(window.popup() && window.popup()->isVisible());
    // (at the point, give or take the window frame the platform adds)
    QVERIFY((window.popup()->pos() - QPoint(120, 90)).manhattanLength() <= 4);
    QVERIFY(window.popupShownText().startsWith(QStringLiteral("Drop a text or comma-separated file")));
    QVERIFY(!window.isVisible());
    window.popup()->close();
    // A number without a short text shows nothing.
    window.ShowHelpPopup(4242, QPoint(10, 10));
    QVERIFY(!window.popup()->isVisible());
    // A topic opens the window.
    window.ShowHelpTopic(ui::HelpDataEntry);
    QVERIFY(window.isVisible());

    // The manual opens at its contents.
    QVERIFY(window.ShowManual());
    QVERIFY(window.isVisible());
    QCOMPARE(window.browser()->source(), help::ManualUrl(QStringLiteral("index.html")));
    QVERIFY(window.browser()->toPlainText().contains(QStringLiteral("Brisden User Manual")));
    QCOMPARE(window.sideTabs()->count(), 3);

    // One click on a chapter of the contents shows it.
    QHelpContentWidget* contents = window.engine()->contentWidget();
    QTRY_VERIFY(contents->model()->rowCount() == 1 &&
                contents->model()->rowCount(contents->model()->index(0, 0)) > 10);
    QModelIndex chapter;
    for (int row = 0; row < contents->model()->rowCount(contents->model()->index(0, 0)); ++row) {
        const QModelIndex at = contents->model()->index(row, 0, contents->model()->index(0, 0));
        if (at.data().toString() == QLatin1String("Record types"))
            chapter = at;
    }
    QVERIFY(chapter.isValid());
    window.sideTabs()->setCurrentIndex(0);
    contents->scrollTo(chapter);
    QTest::mouseClick(contents->viewport(), Qt::LeftButton, {},
                      contents->visualRect(chapter).center());
    QCOMPARE(window.browser()->source(), help::ManualUrl(QStringLiteral("record-types.html")));

    // The index knows the keywords; following a link inside a page stays in the manual.
    QHelpIndexModel* index = window.engine()->indexModel();
    QTRY_VERIFY(index->stringList().contains(QStringLiteral("Basis worksheet")));
    window.browser()->setSource(help::ManualUrl(QStringLiteral("basis.html")));
    QVERIFY(window.browser()->toPlainText().contains(QStringLiteral("Cost, FIFO")));
    emit window.browser()->anchorClicked(QUrl(QStringLiteral("returns.html#irr")));
    QCOMPARE(window.browser()->source(), help::ManualUrl(QStringLiteral("returns.html#irr")));

    // The full text is indexed in the background and searched.
    QHelpSearchEngine* search = window.engine()->searchEngine();
    QSignalSpy indexed(search, &QHelpSearchEngine::indexingFinished);
    search->reindexDocumentation();
    QVERIFY(indexed.wait(30000));
    QSignalSpy searched(search, &QHelpSearchEngine::searchingFinished);
    search->search(QStringLiteral("pooled"));
    QVERIFY(searched.wait(30000) || !searched.isEmpty());
    QVERIFY(search->searchResultCount() >= 1);
    bool basisFound = false;
    for (const QHelpSearchResult& r : search->searchResults(0, search->searchResultCount()))
        basisFound = basisFound || r.url().path().endsWith(QLatin1String("basis.html"));
    QVERIFY(basisFound);

    // Every topic number of the program is a topic of the manual with a short text.
    // (A topic the sources use that is not in the enum does not compile.)
    const std::map<QString, int> ids = HelpTopicEnum();
    QVERIFY2(ids.size() >= 25, "the topic numbers of src/ui/Help.h were not read");
    QCOMPARE(ids.at(QStringLiteral("HelpDragDrop")), 9055);
    for (const auto& [name, id] : ids) {
        const QUrl url = window.topicUrl(id);
        QVERIFY2(url.isValid(), qPrintable(name + QStringLiteral(" has no topic")));
        const QByteArray page = window.engine()->fileData(url);
        QVERIFY2(!page.isEmpty() && HasAnchor(page, url), qPrintable(url.toString()));
        QVERIFY2(!window.popupText(id).isEmpty(),
                 qPrintable(name + QStringLiteral(" has no short text")));
        window.ShowHelpTopic(id);
        QCOMPARE(window.browser()->source(), url);
        QVERIFY(!window.browser()->toPlainText().isEmpty());
    }
    // A number the manual does not know opens nothing.
    const QUrl before = window.browser()->source();
    window.ShowHelpTopic(4242);
    QCOMPARE(window.browser()->source(), before);
    QVERIFY(window.popupText(4242).isEmpty());

    // Every link of the manual leads to a page (and anchor) of it.
    QHelpEngine* engine = window.engine();
    const QList<QUrl> pages =
        engine->files(QLatin1String(help::kManualNamespace), QStringList(), QStringLiteral("html"));
    QVERIFY(pages.size() >= 15);
    static const QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"]+)\""));
    int links = 0;
    for (const QUrl& page : pages) {
        const QString html = QString::fromUtf8(engine->fileData(page));
        for (const QRegularExpressionMatch& m : reference.globalMatch(html)) {
            const QUrl target = page.resolved(QUrl(m.captured(1)));
            if (target.scheme() != QLatin1String("qthelp"))
                continue;  // a web address
            ++links;
            const QByteArray data = engine->fileData(target.adjusted(QUrl::RemoveFragment));
            QVERIFY2(!data.isEmpty() && HasAnchor(data, target),
                     qPrintable(page.toString() + QStringLiteral(" -> ") + target.toString()));
        }
    }
    QVERIFY(links >= 80);  // the pages were read, not skipped
}

void HelpTest::collectionLookupOpeningAndPopupParsing()
{
    // The build tree (program in build/bin) and an installation (bin/../share/brisden).
    QTemporaryDir dir;
    const QString bin = dir.path() + QStringLiteral("/bin");
    QDir().mkpath(bin);
    const QStringList candidates = help::HelpCollectionCandidates(bin);
    QCOMPARE(candidates.value(0), bin + QStringLiteral("/brisden.qhc"));
    QCOMPARE(candidates.value(1), dir.path() + QStringLiteral("/help/brisden.qhc"));
    QCOMPARE(candidates.value(2), dir.path() + QStringLiteral("/share/brisden/brisden.qhc"));
    QDir().mkpath(dir.path() + QStringLiteral("/share/brisden"));
    WriteText(candidates.value(2), QStringLiteral("x"));
    QCOMPARE(help::FindHelpCollection(bin), candidates.value(2));
    WriteText(candidates.value(0), QStringLiteral("x"));
    QCOMPARE(help::FindHelpCollection(bin), candidates.value(0));

    // A collection in a folder that cannot be written is used from a copy,
    // renewed when the installed one changes.
    const QString shared = dir.path() + QStringLiteral("/ro");
    QDir().mkpath(shared);
    WriteText(shared + QStringLiteral("/brisden.qhc"), QStringLiteral("collection"));
    WriteText(shared + QStringLiteral("/brisden.qch"), QStringLiteral("pages"));
    QFile::setPermissions(shared, QFile::ReadOwner | QFile::ExeOwner);
    if (!QFileInfo(shared).isWritable()) {  // (root writes everywhere)
        const QString cache = dir.path() + QStringLiteral("/cache");
        const QString copy = help::WritableCollection(shared + QStringLiteral("/brisden.qhc"), cache);
        QCOMPARE(copy, cache + QStringLiteral("/brisden.qhc"));
        QCOMPARE(ReadAll(cache + QStringLiteral("/brisden.qch")), QByteArray("pages"));
    }
    QFile::setPermissions(shared, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(help::WritableCollection(shared + QStringLiteral("/brisden.qhc"), dir.path()),
             shared + QStringLiteral("/brisden.qhc"));

    const QByteArray page =
        "<dl><dt>1</dt><dd id=\"p12\">Type <b>A &amp; B</b>\n   here</dd>"
        "<dd id=\"p123\">other</dd></dl>";
    QCOMPARE(help::PopupText(page, 12), QStringLiteral("Type A & B here"));
    QCOMPARE(help::PopupText(page, 123), QStringLiteral("other"));
    QVERIFY(help::PopupText(page, 1).isEmpty());
    QCOMPARE(help::TopicIdentifier(9055), QStringLiteral("brisden.9055"));

    // A missing collection cannot be opened.
    const QString missing = dir.path() + QStringLiteral("/none/brisden.qhc");
    help::HelpWindow window(missing, dir.path() + QStringLiteral("/none/cache"));
    QVERIFY(!window.ShowManual());
    QVERIFY(window.reason().contains(missing));
    QVERIFY(!window.isVisible());
    // Topics and pop-ups fail silently.
    window.ShowHelpTopic(ui::HelpDataEntry);
    window.ShowHelpPopup(ui::HelpDragDrop, QPoint(5, 5));
    QVERIFY(!window.isVisible());
    QVERIFY(!window.popup());

    // A collection without the manual's pages beside it is no manual either.
    QTemporaryDir other;
    const QString copy = CopyCollection(other.path());
    QFile::remove(other.path() + QStringLiteral("/brisden.qch"));
    help::HelpWindow noPages(copy, other.path() + QStringLiteral("/cache"));
    QVERIFY(!noPages.ShowManual());
    QVERIFY(!noPages.reason().isEmpty());
}

void HelpTest::mainWindowHelpMenuNoticeAndAboutBox()
{
    StartedProgram p;
    QVERIFY(p.start(QStringLiteral("[General]\r\nShowHelp=false\r\n"), QString(), false));
    MainWindow& w = *p.window;
    FakeHelp help;
    w.helpCommands().setHelp(&help);
    w.runDeferredStart();
    QCOMPARE(help.manuals, 0);  // (ShowHelp=True opens it: the preferences tests)

    // "User Manual" opens the manual; nothing else when it opens.
    w.action("mnuUserManualItem")->trigger();
    QCOMPARE(help.manuals, 1);
    QVERIFY(!w.helpCommands().helpCheck());

    // "Data entry help": the grid's topic.
    w.action("mnuRCHowToEdit")->trigger();
    QCOMPARE(help.topics, QList<int>{ui::HelpDataEntry});

    // "What's this?" over a control: its short text at the point the menu opened.
    const QPoint at(40, 30);
    w.editor().rightClickElsewhere(w.gridControlFrame(), at);
    w.rightClickMenu()->hide();
    w.action("mnuRCWhatsThis")->trigger();
    // "Drag/drop help" is always 9055, whatever the control under the menu.
    w.action("mnuRCDragDropHelp")->trigger();
    QLabel* prompt = w.summaryPanel()->findChild<QLabel*>(QStringLiteral("SharePricePrompt"));
    QVERIFY(prompt);
    w.editor().rightClickElsewhere(prompt, QPoint(70, 200));
    w.rightClickMenu()->hide();
    w.action("mnuRCDragDropHelp")->trigger();
    w.action("mnuRCWhatsThis")->trigger();
    using Popup = std::pair<int, QPoint>;
    QCOMPARE(help.popups, (QList<Popup>{{ui::HelpWhatsThisGridControls, at},
                                        {ui::HelpDragDrop, at},
                                        {ui::HelpDragDrop, QPoint(70, 200)},
                                        {ui::HelpWhatsThisSharePrice, QPoint(70, 200)}}));

    // Without the manual (none is installed here) "User Manual" shows a notice.
    w.helpCommands().setHelp(nullptr);
    QVERIFY(!QFileInfo::exists(p.program().HelpFilePath));
    const QStringList logBefore = LogMessages(p.log());
    std::vector<QUrl> opened;
    bool urlOpens = false;
    w.helpCommands().setOpenUrl([&](const QUrl& url) {
        opened.push_back(url);
        return urlOpens;
    });
    QString label;
    int button = 1;
    w.helpCommands().setBeforeDialog([&label, &button](QWidget* dialog) {
        QTimer::singleShot(0, dialog, [dialog, &label, &button] {
            auto* check = qobject_cast<help::HelpCheck*>(dialog);
            QVERIFY(check && check->isVisible() && check->isModal());
            label = check->label()->text();
            check->command1(button)->click();
        });
    });
    // Cancel: the notice names the place the manual was looked for, and nothing else is done.
    w.action("mnuUserManualItem")->trigger();
    help::HelpCheck* check = w.helpCommands().helpCheck();
    QVERIFY(check);
    QCOMPARE(check->Tag, QStringLiteral("1"));
    QVERIFY(!check->isVisible());
    QVERIFY(label.contains(p.program().HelpFilePath));
    QVERIFY(p.messages.shown.empty() && opened.empty());
    QCOMPARE(LogMessages(p.log()), logBefore);
    QVERIFY(!w.helpCommands().helpWindow()->isVisible());
    // Dialog help buttons and pop-ups fail silently.
    w.action("mnuRCHowToEdit")->trigger();
    w.action("mnuRCDragDropHelp")->trigger();
    QVERIFY(p.messages.shown.empty());
    QVERIFY(!w.helpCommands().helpWindow()->isVisible());
    // Install: through the package installer; when it does not start, that is said.
    button = 0;
    w.action("mnuUserManualItem")->trigger();
    QCOMPARE(opened, std::vector<QUrl>{QUrl(QStringLiteral("apt:libqt6help6,libqt6sql6-sqlite"))});
    QCOMPARE(check->Tag, QStringLiteral("0"));
    QCOMPARE(p.messages.texts(),
             QStringList{QStringLiteral("Error: the help components were *not* installed.")});
    QCOMPARE(p.messages.shown[0].icon, ui::Icon::Exclamation);
    // When the installer starts, nothing is said.
    urlOpens = true;
    w.action("mnuUserManualItem")->trigger();
    QCOMPARE(opened.size(), size_t(2));
    QCOMPARE(p.messages.shown.size(), size_t(1));

    // The about box.
    opened.clear();
    p.messages.shown.clear();
    urlOpens = false;
    w.helpCommands().setBeforeDialog([](QWidget* dialog) {
        QTimer::singleShot(0, dialog, [dialog] {
            auto* about = qobject_cast<help::About*>(dialog);
            QVERIFY(about && about->isVisible());
            // Enter closes the box (it does not open the address).
            QTest::keyClick(about, Qt::Key_Return);
        });
    });
    w.action("mnuAboutItem")->trigger();
    help::About* about = w.helpCommands().about();
    QVERIFY(about);
    QVERIFY(!about->isVisible());
    QVERIFY(about->versionsLabel()->text().contains(QString::fromLatin1(qVersion())));

    // The address is underlined while the mouse is over it, and only then.
    about->show();
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(about->label1(), &enter);
    QVERIFY(about->label1()->font().underline());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(about->label1(), &leave);
    QVERIFY(!about->label1()->font().underline());

    // A click opens it in the browser; a failure says so.
    QTest::mouseClick(about->label1(), Qt::LeftButton);
    QCOMPARE(opened, std::vector<QUrl>{QUrl(QString::fromLatin1(help::kProjectAddress))});
    QCOMPARE(p.messages.texts().size(), 1);
    QVERIFY(p.messages.texts()[0].startsWith(
        QStringLiteral("An error occurred when trying to open your browser.")));
    urlOpens = true;
    QTest::mouseClick(about->label1(), Qt::LeftButton);
    QCOMPARE(opened.size(), size_t(2));
    QCOMPARE(p.messages.shown.size(), size_t(1));
    about->hide();
}

int main(int argc, char* argv[])
{
    // No installed manual of this machine is found instead of the test's own.
    QTemporaryDir data;
    qputenv("XDG_DATA_DIRS", data.path().toUtf8());
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    QApplication app(argc, argv);
    HelpTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_help.moc"
