// Portfolio definition files: reading quoted items, sorting, saving, and the
// portfolio window's add, remove and describe commands.

#include "data/FileTable.h"
#include "data/Portfolio.h"
#include "data/PortfolioCommands.h"
#include "shell/SessionLog.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brisden;
using brisden::test::FakeInput;
using brisden::test::FakeMessages;
using brisden::test::ReadAll;
using brisden::test::WriteAll;

namespace {

std::vector<QString> Items(std::initializer_list<const char*> list)
{
    std::vector<QString> v;
    for (const char* s : list)
        v.push_back(QString::fromLatin1(s));
    return v;
}

// A definition file: its heading line, then each item quoted on a line.
QByteArray Def(std::initializer_list<const char*> items)
{
    QByteArray text = "\"Portfolio definition file\"\r\n";
    for (const char* item : items)
        text += '"' + QByteArray(item) + "\"\r\n";
    return text;
}

TEST(QuotedItemsTest, ItemsAreReadTheWayQuotedInputReadsThem)
{
    EXPECT_EQ(
        ReadQuotedItems("\"Portfolio definition file\"\r\n\"C:\\a, b.dat\"\r\n\"Growth\"\r\n"),
        Items({"Portfolio definition file", "C:\\a, b.dat", "Growth"}));
    // Unquoted items end at a comma and lose their blanks; text after a
    // closing quote up to the next comma is dropped; blank lines hold nothing.
    EXPECT_EQ(ReadQuotedItems("  plain , two\n\n\"q\" junk,\"r\"\n   \n"),
              Items({"plain", "two", "q", "r"}));
    // A quote that never closes runs to the end of its line only.
    EXPECT_EQ(ReadQuotedItems("\"open ended\r\n\"next\"\r\n"), Items({"open ended", "next"}));
    EXPECT_EQ(ReadQuotedItems("\"Caf\xe9\""), Items({"Caf\xe9"}));
}

class PortfolioTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FileTable files;
    Portfolio portfolio{files};
    QString defPath = dir.filePath(QStringLiteral("Port.def"));
    FakeMessages messages;
    FakeInput input;
    QString logPath = dir.filePath(QStringLiteral("Application.log"));
    SessionLog log{files, logPath};
    PortfolioCommandContext context{messages, input, log, QStringLiteral("Portfolio"), true};

    void SetUp() override
    {
        log.setClock([] { return QDateTime(QDate(2004, 1, 2), QTime(10, 0, 0)); });
        portfolio.CurrentPortfolio = defPath;
    }
    QString file(const char* name) { return dir.filePath(QLatin1String(name)); }
    QStringList logLines() const { return brisden::test::TextLines(logPath); }
    // The paths and the descriptions past the unused entry 0.
    std::vector<QString> files1() const
    {
        return {portfolio.PortfolioFiles.begin() + 1, portfolio.PortfolioFiles.end()};
    }
    std::vector<QString> descs1() const
    {
        return {portfolio.PortfolioDescriptions.begin() + 1, portfolio.PortfolioDescriptions.end()};
    }
};

TEST_F(PortfolioTest, LoadingSortsByDescriptionOrByPathIgnoringCase)
{
    WriteAll(defPath, Def({"foxtrot.dat", "VALUE STOCK", "kilo.dat", "Money Market", "Golf.dat",
                           "small Cap"}));
    EXPECT_TRUE(portfolio.LoadPortfolio(true));
    EXPECT_TRUE(portfolio.loaded());
    EXPECT_EQ(portfolio.count(), 3);
    EXPECT_EQ(files1(), Items({"kilo.dat", "Golf.dat", "foxtrot.dat"}));
    EXPECT_EQ(descs1(), Items({"Money Market", "small Cap", "VALUE STOCK"}));
    EXPECT_TRUE(portfolio.LoadPortfolio(false));
    EXPECT_EQ(files1(), Items({"foxtrot.dat", "Golf.dat", "kilo.dat"}));
    EXPECT_EQ(descs1(), Items({"VALUE STOCK", "small Cap", "Money Market"}));
    EXPECT_FALSE(files.isOpen(PortfolioSlot));

    // Descriptions a, B, a, A: the gap sort's passes leave the three equal
    // ones as 1, 4, 3 (a stable sort would give 1, 3, 4).
    WriteAll(defPath, Def({"p1", "a", "p2", "B", "p3", "a", "p4", "A"}));
    portfolio.LoadPortfolio(true);
    EXPECT_EQ(files1(), Items({"p1", "p4", "p3", "p2"}));

    // Sorted by path, an empty path would come first and read as the empty
    // portfolio, and no file of the list would be found again: a pair
    // without a path is passed over.
    WriteAll(defPath, Def({"b.dat", "B", "", "no file", "  ", "blank", "a.dat", "A"}));
    EXPECT_TRUE(portfolio.LoadPortfolio(false));
    EXPECT_EQ(files1(), Items({"a.dat", "b.dat"}));
    EXPECT_EQ(portfolio.FindPortfolioFile(QStringLiteral("a.dat")), 1);
    EXPECT_EQ(portfolio.FindPortfolioFile(QStringLiteral("B.DAT")), 2);
}

TEST_F(PortfolioTest, EmptyAndMissingPortfoliosAreOneEmptyEntry)
{
    WriteAll(defPath, Def({}));
    EXPECT_TRUE(portfolio.LoadPortfolio(true));
    ASSERT_EQ(portfolio.PortfolioFiles.size(), 2u);
    EXPECT_TRUE(portfolio.PortfolioFiles[1].isEmpty());
    EXPECT_TRUE(portfolio.PortfolioDescriptions[1].isEmpty());
    EXPECT_TRUE(portfolio.isEmpty());

    // A missing file, or one in a missing folder, is neither read nor made.
    for (const char* name : {"none.def", "gone/My.def"}) {
        portfolio.CurrentPortfolio = file(name);
        EXPECT_FALSE(portfolio.LoadPortfolio(true)) << name;
        EXPECT_EQ(portfolio.PortfolioFiles.size(), 2u);
        EXPECT_TRUE(portfolio.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(file(name)));
    }

    // Opened (not loaded), a missing portfolio is made empty; an existing
    // one is left as it is.
    portfolio.OpenPortfolio(file("new.def"));
    EXPECT_EQ(portfolio.CurrentPortfolio, file("new.def"));
    EXPECT_EQ(ReadAll(file("new.def")), Def({}));
    EXPECT_FALSE(portfolio.loaded());
    WriteAll(defPath, Def({"a.dat", "A"}));
    portfolio.OpenPortfolio(defPath);
    EXPECT_EQ(ReadAll(defPath), Def({"a.dat", "A"}));

    // A path without its description gets an empty one.
    WriteAll(defPath, Def({"a.dat", "A", "b.dat"}));
    portfolio.LoadPortfolio(false);
    EXPECT_EQ(files1(), Items({"a.dat", "b.dat"}));
    EXPECT_EQ(descs1(), Items({"A", ""}));
}

TEST_F(PortfolioTest, SavingWritesQuotedLinesAndSkipsRemovedEntries)
{
    portfolio.PortfolioFiles = Items({"", "C:\\Funds\\a.dat", "", "/home/me/caf\xe9.dat"});
    portfolio.PortfolioDescriptions = Items({"", "Say \"hi\"", "gone", "Caf\xe9"});
    EXPECT_TRUE(portfolio.SavePortfolio());
    EXPECT_EQ(ReadAll(defPath),
              Def({"C:\\Funds\\a.dat", "Say 'hi'", "/home/me/caf\xe9.dat", "Caf\xe9"}));
    portfolio.LoadPortfolio(false);
    EXPECT_EQ(portfolio.PortfolioDescriptions[2], QStringLiteral("Say 'hi'"));

    // Found by fuzzing: written as it was, a double quote in a path ended the
    // item early, so the path came back cut short, and an entry whose path
    // was cut to a blank vanished from the portfolio.
    WriteAll(defPath, "Portfolio definition file,a\"b.dat,A,\r\"x.dat,X,c.dat,C\r\n");
    ASSERT_TRUE(portfolio.LoadPortfolio(false));
    ASSERT_EQ(portfolio.count(), 3);
    ASSERT_TRUE(portfolio.SavePortfolio());
    ASSERT_TRUE(portfolio.LoadPortfolio(false));
    EXPECT_EQ(files1(), Items({" 'x.dat", "a'b.dat", "c.dat"}));
    EXPECT_EQ(descs1(), Items({"X", "A", "C"}));

    portfolio.CurrentPortfolio = file("missing/folder.def");
    EXPECT_FALSE(portfolio.SavePortfolio());
}

TEST_F(PortfolioTest, FilesBeyond99AreKeptAsideAndNeverLost)
{
    QByteArray def = Def({});
    for (int i = 1; i <= 120; ++i)
        def += "\"f" + QByteArray::number(1000 + i) + ".dat\"\r\n\"D" + QByteArray::number(i) +
               "\"\r\n";
    WriteAll(defPath, def);
    portfolio.LoadPortfolio(false);
    EXPECT_EQ(portfolio.count(), 99);
    EXPECT_EQ(portfolio.overflowCount(), 21);
    EXPECT_TRUE(portfolio.overflowMessage().contains(QStringLiteral("120")));
    EXPECT_EQ(portfolio.PortfolioFiles[99], QStringLiteral("f1099.dat"));

    // Removing one shown file and saving keeps the 21 others in the file.
    portfolio.PortfolioFiles[1].clear();
    EXPECT_TRUE(portfolio.SavePortfolio());
    EXPECT_EQ(ReadQuotedItems(ReadAll(defPath)).size(), 1u + 2 * 119);
    portfolio.LoadPortfolio(false);
    EXPECT_EQ(portfolio.count(), 99);
    EXPECT_EQ(portfolio.overflowCount(), 20);
    EXPECT_EQ(portfolio.PortfolioFiles[1], QStringLiteral("f1002.dat"));

    // A full portfolio takes no more files.
    std::deque<QString> pending{file("extra.dat")};
    input.answers.push_back(QStringLiteral("Extra"));
    EXPECT_EQ(ProcessPendingAdditions(portfolio, pending, context), 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(input.asked.empty());
    EXPECT_FALSE(QFileInfo::exists(file("extra.dat")));
}

TEST_F(PortfolioTest, FindingAFileIgnoresCaseAndBlanksAndRefusesIllegalNames)
{
    portfolio.PortfolioFiles = Items({"", "C:\\Data\\Fund.DAT", "/home/me/bond.dat"});
    portfolio.PortfolioDescriptions = Items({"", "Fund", "Bond"});
    const std::pair<const char*, int> cases[] = {{"  c:\\data\\fund.dat ", 1},
                                                 {"/HOME/ME/BOND.DAT", 2},
                                                 {"/home/me/other.dat", -1},
                                                 {"/home/me/x.hidden.dat", -1},
                                                 {"C:\\.dat", -3},
                                                 {"/home/me/.DAT", -3},
                                                 {"/home/me/ .dat", -3},
                                                 {"D:", -3},
                                                 {"/home/me/a\"b.dat", -3},
                                                 {"/home/me/\xe2\x82\xac.dat", -3},
                                                 {"/home/me/.hidden.dat", -3}};
    for (const auto& [name, found] : cases)
        EXPECT_EQ(portfolio.FindPortfolioFile(QString::fromUtf8(name)), found) << name;
    // An empty entry is never found, not even by an empty name.
    portfolio.PortfolioFiles = Items({"", ""});
    EXPECT_EQ(portfolio.FindPortfolioFile(QString()), -3);
    EXPECT_EQ(portfolio.FindPortfolioFile(QStringLiteral("/x/a.dat")), -1);
}

TEST_F(PortfolioTest, AddingAsksForTheDescriptionCreatesTheFileAndLogs)
{
    WriteAll(defPath, "\"Portfolio definition file\"\r\n\"" + file("a.dat").toLatin1() +
                          "\"\r\n\"Alpha\"");  // no line end after the last line
    WriteAll(file("a.dat"), {});
    portfolio.LoadPortfolio(true);
    std::deque<QString> pending{file("new.dat"), QStringLiteral("C:\\.dat"),
                                file("A.DAT") + QStringLiteral(" ")};
    input.answers.push_back(QStringLiteral("  New \"fund\"  "));
    EXPECT_EQ(ProcessPendingAdditions(portfolio, pending, context), 1);
    EXPECT_TRUE(pending.empty());

    ASSERT_EQ(input.asked.size(), 1u);
    EXPECT_EQ(
        input.asked[0].prompt,
        QStringLiteral("Input the description (up to 100 characters) for: \n") + file("new.dat"));
    EXPECT_EQ(input.asked[0].title, QStringLiteral("Portfolio"));
    EXPECT_TRUE(QFileInfo::exists(file("new.dat")));
    EXPECT_EQ(QFileInfo(file("new.dat")).size(), 0);
    EXPECT_EQ(ReadAll(defPath), "\"Portfolio definition file\"\r\n\"" + file("a.dat").toLatin1() +
                                    "\"\r\n\"Alpha\"\r\n\"" + file("new.dat").toLatin1() +
                                    "\"\r\n\"New 'fund'\"\r\n");
    EXPECT_EQ(portfolio.count(), 2);
    EXPECT_EQ(portfolio.PortfolioDescriptions[2], QStringLiteral("New 'fund'"));

    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("Illegal filename: C:\\.dat"));
    EXPECT_EQ(messages.shown[0].icon, ui::Icon::Exclamation);
    EXPECT_EQ(messages.shown[1].text,
              file("A.DAT") + QStringLiteral(" ") +
                  QStringLiteral(" is already in the file selection list as\nAlpha"));
    EXPECT_EQ(messages.shown[1].icon, ui::Icon::Information);
    EXPECT_EQ(logLines(),
              QStringList{QStringLiteral("10:00:00: File ") + file("new.dat") +
                          QStringLiteral(" added to portfolio ") + defPath + QStringLiteral(".")});
}

TEST_F(PortfolioTest, AnEmptyDescriptionCancelsEveryQueuedAddition)
{
    WriteAll(defPath, Def({}));
    portfolio.LoadPortfolio(true);
    std::deque<QString> pending{file("one.dat"), file("two.dat"), file("three.dat")};
    input.answers.push_back(QStringLiteral("   "));
    input.answers.push_back(QStringLiteral("never asked"));
    EXPECT_EQ(ProcessPendingAdditions(portfolio, pending, context), 0);
    EXPECT_TRUE(pending.empty());
    EXPECT_EQ(input.asked.size(), 1u);
    EXPECT_EQ(ReadAll(defPath), Def({}));
    EXPECT_FALSE(QFileInfo::exists(file("one.dat")));
    EXPECT_TRUE(logLines().isEmpty());

    pending = {file("one.dat")};
    input.answers = {std::nullopt};  // Cancel
    EXPECT_EQ(ProcessPendingAdditions(portfolio, pending, context), 0);
    EXPECT_FALSE(QFileInfo::exists(file("one.dat")));

    // A long description is cut to 100 characters.
    pending = {file("one.dat")};
    input.answers = {QString(150, QLatin1Char('d'))};
    EXPECT_EQ(ProcessPendingAdditions(portfolio, pending, context), 1);
    EXPECT_EQ(portfolio.PortfolioDescriptions[1], QString(100, QLatin1Char('d')));
}

TEST_F(PortfolioTest, RemovingRefusesTheCurrentFileAndEditingTakesNonEmptyAnswers)
{
    WriteAll(defPath, Def({"a.dat", "A", "b.dat", "B", "c.dat", "C"}));
    portfolio.LoadPortfolio(true);
    EXPECT_EQ(RemoveFromPortfolio(portfolio, {1, 2, 3}, QStringLiteral("B.DAT"), context), 2);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(
        messages.shown[0].text,
        QStringLiteral("File: B.DAT\n\nCan't remove the current file from the portfolio while "
                       "it is open."));
    EXPECT_EQ(messages.shown[0].icon, ui::Icon::Exclamation);
    EXPECT_EQ(ReadAll(defPath), Def({"b.dat", "B"}));
    EXPECT_EQ(files1(), Items({"b.dat"}));
    EXPECT_EQ(logLines(), (QStringList{QStringLiteral("10:00:00: Removed a.dat from portfolio ") +
                                           defPath + QLatin1Char('.'),
                                       QStringLiteral("10:00:00: Removed c.dat from portfolio ") +
                                           defPath + QLatin1Char('.')}));

    // Describing anew replaces only non-empty answers.
    WriteAll(defPath, Def({"a.dat", "A", "b.dat", "B"}));
    portfolio.LoadPortfolio(false);
    input.answers = {QStringLiteral(" Alpha Fund "), QString()};
    EXPECT_EQ(EditDescriptions(portfolio, {1, 2}, context), 1);
    ASSERT_EQ(input.asked.size(), 2u);
    EXPECT_EQ(input.asked[0].defaultText, QStringLiteral("A"));
    EXPECT_EQ(input.asked[1].prompt,
              QStringLiteral("Input the description (up to 100 characters) for: \nb.dat"));
    EXPECT_EQ(ReadAll(defPath), Def({"a.dat", "Alpha Fund", "b.dat", "B"}));
}

}  // namespace
