// Whole-number dates: validation, the day-number calendar checked against an
// independent calendar, and the locale's order and separator. Then investment
// files: the 41-byte layout, the free chain, Seq numbering, the date index,
// and what opening does with files that are not right.

#include "data/Dates.h"
#include "data/InvestmentFile.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <bit>
#include <gtest/gtest.h>

using namespace brisden;
using brisden::test::FakeMessages;
using brisden::test::ReadAll;
using brisden::test::WriteAll;
using brisden::test::WriteLedger;

namespace {

TEST(DatesTest, ValidDatesHaveNoCenturyRule)
{
    for (const std::int32_t mdy : {2292000, 2291900, 2292100, 12312004, 1011583})
        EXPECT_TRUE(IsValidDate(mdy)) << mdy;
    // 2-29-2001; months 0 and 13; before 1583; 4-31; day 0; zero, negative, all nines.
    for (const std::int32_t mdy :
         {2292001, 152004, 13012004, 1011582, 4312004, 1002004, 0, -12312004, 99999999})
        EXPECT_FALSE(IsValidDate(mdy)) << mdy;
}

TEST(DatesTest, DayNumbersAgreeWithTheGregorianCalendar)
{
    EXPECT_EQ(DateToDayNumber(20000101), 2451545);
    // Every day from 1583 to 2399: the day number is the Julian Day Number,
    // the inverse returns the date, and SwapDateOrder turns both ways.
    for (QDate d(1583, 1, 1); d.year() < 2400; d = d.addDays(1)) {
        const std::int32_t ymd = d.year() * 10000 + d.month() * 100 + d.day();
        const std::int32_t mdy = d.month() * 1000000 + d.day() * 10000 + d.year();
        ASSERT_TRUE(IsValidDate(mdy)) << ymd;
        ASSERT_EQ(DateToDayNumber(ymd), d.toJulianDay()) << ymd;
        ASSERT_EQ(DayNumberToDate(std::int32_t(d.toJulianDay())), ymd);
        ASSERT_EQ(SwapDateOrder(mdy), ymd);
        ASSERT_EQ(SwapDateOrder(ymd), mdy);
    }
    // 29 February 1900 passes the check but is not a calendar day: its
    // number is that of 1 March.
    EXPECT_EQ(DateToDayNumber(19000229), DateToDayNumber(19000301));
}

TEST(DatesTest, ShortDashedAndLocalForms)
{
    EXPECT_EQ(ShortYearDate(12312003), 123103);
    EXPECT_EQ(ShortYearDate(1052000), 10500);
    EXPECT_EQ(FormatDateDashes(12312003), QStringLiteral("12-31-2003"));
    EXPECT_EQ(FormatDateDashes(1012003), QStringLiteral(" 1-01-2003"));
    EXPECT_EQ(FormatDateDashes(0), QStringLiteral(" 0-00-0000"));
    Calendar c;
    c.DateSeparator = QStringLiteral(".");
    for (const auto& [mask, mdy, text] : {std::tuple{"DMY", 123103, "311203"},
                                          {"YMD", 10203, "030102"},
                                          {"MDY", 10203, "010203"}}) {
        c.DateOrderMask = QLatin1String(mask);
        EXPECT_EQ(c.FormatLocalDate(mdy, false), QLatin1String(text)) << mask;
    }
}

TEST(DatesTest, OrderAndSeparatorComeFromTheLocale)
{
    struct Case {
        QLocale locale;
        const char* mask;
        const char* separator;
    };
    const Case cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), "MDY", "/"},
        {QLocale(QLocale::German, QLocale::Germany), "DMY", "."},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), "DMY", "/"},
        {QLocale(QLocale::Swedish, QLocale::Sweden), "YMD", "-"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.locale.name().toStdString());
        Calendar c;
        c.locale = k.locale;
        c.SetToday(QDate(2004, 2, 29));
        c.DetectDateOrder();
        EXPECT_EQ(c.DateOrderMask, QLatin1String(k.mask));
        EXPECT_EQ(c.DateSeparator, QLatin1String(k.separator));
        // A short date of the locale reads back as the same day.
        EXPECT_EQ(c.ParseDateText(c.locale.toString(QDate(2004, 2, 29), QLocale::ShortFormat)),
                  20040229);
        EXPECT_EQ(c.TodayYMD, 20040229);
        EXPECT_EQ(c.TodayDayNumber, DateToDayNumber(20040229));
        EXPECT_FALSE(c.TodayLongText.isEmpty());
    }
    EXPECT_EQ(Calendar().ParseDateText(QStringLiteral("not a date")), 0);
}

// Little-endian bytes built by hand, without the code under test.
void PutLE(QByteArray& b, int offset, std::uint64_t value, int width)
{
    for (int i = 0; i < width; ++i)
        b[offset + i] = char((value >> (8 * i)) & 0xFF);
}

QByteArray HandHeader(std::int16_t version, std::int32_t freeHead)
{
    QByteArray b(41, '\0');
    PutLE(b, 0, std::uint16_t(version), 2);
    PutLE(b, 2, std::uint32_t(freeHead), 4);
    return b;
}

QByteArray HandRecord(std::int16_t version, std::int32_t date, std::int16_t seq, const char* desc,
                      double amount, double price, double shares)
{
    QByteArray b = HandHeader(version, date);  // the date where the header's link is
    PutLE(b, 6, std::uint16_t(seq), 2);
    b.replace(8, 9, QByteArray(desc).leftJustified(9, ' ', true));
    for (int at = 17; const double d : {amount, price, shares}) {
        PutLE(b, at, std::bit_cast<std::uint64_t>(d), 8);
        at += 8;
    }
    return b;
}

std::int32_t LinkAt(const QByteArray& file, int record)
{
    return RecordLinkField(file.constData() + (record - 1) * 41);
}

// Records are read from the hand-built bytes (how they are written is
// compared with the same bytes where records are added below).
TEST(RecordLayoutTest, RecordsAreTheHandBuiltBytes)
{
    const QByteArray other = HandRecord(5, 19991005, -2, "Reinvest", 0.1, 1e300, -0.0);
    const TransactionRecord d = DecodeRecord(other.constData());
    EXPECT_EQ(d.Version, 5);
    EXPECT_EQ(d.TransDate, 19991005);
    EXPECT_EQ(d.Seq, -2);
    EXPECT_EQ(d.Desc, QByteArray("Reinvest "));
    EXPECT_EQ(d.Amount, 0.1);
    EXPECT_EQ(d.SharePrice, 1e300);
    EXPECT_TRUE(std::signbit(d.Shares));

    TransactionRecord r;
    r.setDesc(QStringLiteral("Much too long"));
    EXPECT_EQ(r.Desc, QByteArray("Much too "));
    r.setDesc(QStringLiteral("Caf\u00e9"));
    EXPECT_EQ(r.Desc, QByteArray("Caf\xe9     "));
}

class InvestmentFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FileTable files;
    InvestmentFile inv{files};
    QString path = dir.filePath(QStringLiteral("fund.dat"));

    std::int32_t add(std::int32_t date, const char* desc = "x", double amount = 1)
    {
        inv.RecordBuffer = TransactionRecord();
        inv.RecordBuffer.TransDate = date;
        inv.RecordBuffer.setDesc(QLatin1String(desc));
        inv.RecordBuffer.Amount = amount;
        return inv.AddRecord();
    }
    std::int16_t seqOf(std::int32_t n)
    {
        EXPECT_TRUE(inv.ReadRecord(n));
        return inv.RecordBuffer.Seq;
    }
    void reopen()
    {
        inv.close();
        ASSERT_TRUE(inv.open(path));
    }
};

TEST_F(InvestmentFileTest, TheFirstRecordOfAnEmptyFileBringsItsHeader)
{
    WriteAll(path, {});
    // Allocation on any slot writes only the header of an empty file, and
    // nothing while the chain is empty: the next record is past the end,
    // again and again until something is written there.
    files.OpenFile(ShortSlot, path, QStringLiteral("R"), QStringLiteral("RW"), 41);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(AllocateRecord(files, ShortSlot, 5), 2);
        EXPECT_EQ(ReadAll(path), HandHeader(5, -1));
    }
    EXPECT_EQ(ReleaseRecord(files, ShortSlot, 2), -2);
    EXPECT_LT(ReleaseRecord(files, ShortSlot, 1), 0);  // the header is never freed
    EXPECT_EQ(ReadAll(path), HandHeader(5, -1));
    files.CloseFile(ShortSlot);

    // The record's fields in their places, every double whole.
    WriteAll(path, {});
    ASSERT_TRUE(inv.open(path));
    inv.RecordBuffer.SharePrice = 12.3456;
    inv.RecordBuffer.Shares = 100.000001;
    inv.RecordBuffer.TransDate = 20031231;
    inv.RecordBuffer.setDesc(QStringLiteral("Buy"));
    inv.RecordBuffer.Amount = -1234.5;
    EXPECT_EQ(inv.AddRecord(), 2);
    EXPECT_EQ(ReadAll(path),
              HandHeader(VersionMajor, -1) +
                  HandRecord(VersionMajor, 20031231, 0, "Buy", -1234.5, 12.3456, 100.000001));
}

TEST_F(InvestmentFileTest, SeqIsOneMoreThanTheLargestOfTheDateInUse)
{
    WriteAll(path, {});
    ASSERT_TRUE(inv.open(path));
    for (const auto& [date, recNo, seq] :
         {std::tuple{20040105, 2, 0}, {20040105, 3, 1}, {20040106, 4, 0}}) {
        EXPECT_EQ(add(date), recNo);
        EXPECT_EQ(seqOf(recNo), seq);
    }
    // The second of the date is deleted: the next one takes its Seq again
    // (and its record).
    EXPECT_EQ(inv.DeleteRecord(3), 3);
    EXPECT_EQ(add(20040105), 3);
    EXPECT_EQ(seqOf(3), 1);

    // Seq is one more than the largest of the date.
    inv.close();
    QByteArray bytes = HandHeader(6, -1);
    bytes += HandRecord(6, 20040105, 0, "a", 0, 0, 0);
    bytes += HandRecord(6, 20040105, 5, "b", 0, 0, 0);
    bytes += HandRecord(0, 20040105, 9, "free", 0, 0, 0);  // a free record does not count
    bytes += HandRecord(6, 20040106, 7, "c", 0, 0, 0);
    // the free record must be on the chain for the file to be sound
    PutLE(bytes, 2, 4, 4);
    PutLE(bytes, 3 * 41 + 2, std::uint32_t(-1), 4);
    WriteAll(path, bytes);
    ASSERT_TRUE(inv.open(path));
    EXPECT_EQ(add(20040105), 4);  // reuses the free record
    EXPECT_EQ(seqOf(4), 6);
    EXPECT_EQ(add(20040107), 6);
    EXPECT_EQ(seqOf(6), 0);
}

TEST_F(InvestmentFileTest, FreedRecordsFormAChainFromTheHeadAndAreReusedInOrder)
{
    WriteLedger(path, {{20040101, "a", 1, 0, 0},
                       {20040102, "b", 2, 0, 0},
                       {20040103, "c", 3, 0, 0},
                       {20040104, "d", 4, 0, 0},
                       {20040105, "e", 5, 0, 0}});
    ASSERT_TRUE(inv.open(path));
    const QByteArray before = ReadAll(path);
    EXPECT_EQ(inv.DeleteRecord(5), 5);
    EXPECT_EQ(inv.DeleteRecord(3), 3);
    // The head names 5, 5 names 3, 3 ends the chain; only the version and the
    // link of a freed record change, and nothing else in the file.
    QByteArray after = before;
    PutLE(after, 2, 5, 4);
    PutLE(after, 4 * 41, 0, 2);
    PutLE(after, 4 * 41 + 2, 3, 4);
    PutLE(after, 2 * 41, 0, 2);
    PutLE(after, 2 * 41 + 2, std::uint32_t(-1), 4);
    EXPECT_EQ(ReadAll(path), after);

    // Freeing a free record or one past the end changes nothing.
    EXPECT_EQ(inv.DeleteRecord(3), -1);
    EXPECT_EQ(inv.DeleteRecord(7), -2);
    EXPECT_EQ(ReadAll(path), after);

    EXPECT_EQ(add(20040110), 5);
    EXPECT_EQ(LinkAt(ReadAll(path), 1), 3);
    EXPECT_EQ(add(20040111), 3);
    EXPECT_EQ(LinkAt(ReadAll(path), 1), -1);
    EXPECT_EQ(add(20040112), 7);
    EXPECT_EQ(ReadAll(path).size(), 7 * 41);
}

// The index past its unused position 0 as "recno:date/seq" words.
QString IndexText(const InvestmentFile& inv)
{
    QStringList words;
    for (std::size_t i = 1; i < inv.RecordIndex.size(); ++i) {
        const RecordIndexEntry& e = inv.RecordIndex[i];
        words << QStringLiteral("%1:%2/%3").arg(e.RecNo).arg(e.TransDate).arg(e.Seq);
    }
    return words.join(u' ');
}

TEST_F(InvestmentFileTest, TheIndexIsInDateThenSeqOrderOfTheRecordsInUse)
{
    WriteLedger(path, {{20050301, "a", 0, 0, 0},
                       {20040101, "b", 0, 0, 0},
                       {20050301, "c", 0, 0, 0},
                       {20030615, "d", 0, 0, 0},
                       {20040101, "e", 0, 0, 0},
                       {19991231, "f", 0, 0, 0}});
    ASSERT_TRUE(inv.open(path));
    ASSERT_EQ(inv.DeleteRecord(4), 4);
    inv.BuildRecordIndex();
    EXPECT_EQ(IndexText(inv), "7:19991231/0 5:20030615/0 3:20040101/0 6:20040101/1 2:20050301/0");
    EXPECT_EQ(inv.indexedCount(), 5u);

    // Without records in use the index holds one zeroed entry: a file of
    // its header alone, or one whose every record is free (a partial record
    // at the end is not looked at).
    QByteArray bytes = HandHeader(6, 2) + HandRecord(0, 20040101, 0, "gone", 0, 0, 0);
    PutLE(bytes, 41 + 2, std::uint32_t(-1), 4);
    for (const QByteArray& file :
         {HandHeader(6, -1),
          QByteArray(bytes + HandRecord(6, 20040101, 0, "partial", 0, 0, 0).left(20))}) {
        WriteAll(path, file);
        reopen();
        inv.BuildRecordIndex();
        EXPECT_EQ(IndexText(inv), "0:0/0");
        EXPECT_EQ(inv.indexedCount(), 0u);
    }
}

TEST(RecordSortTest, EqualKeysStayWhereTheGapSortLeavesThem)
{
    // Two entries with the same date and Seq (a damaged file) are never
    // exchanged with each other; the gap sort's passes leave them as 3, 2 (a
    // stable sort would give 2, 3).
    std::vector<RecordIndexEntry> index = {{}, {5, 0, 1}, {3, 1, 2}, {3, 1, 3}, {1, 0, 4}};
    SortRecordIndex(index);
    std::vector<std::int32_t> recNos;
    for (std::size_t i = 1; i < index.size(); ++i)
        recNos.push_back(index[i].RecNo);
    EXPECT_EQ(recNos, (std::vector<std::int32_t>{4, 3, 2, 1}));
}

class OpeningTest : public InvestmentFileTest {
protected:
    FakeMessages messages;
    const QString wrongFormat = QStringLiteral(
        " is the wrong format.  Convert your data files to version 6, using BRISCONV, and try "
        "again.");

    bool openIt() { return OpenInvestmentFile(inv, path, QStringLiteral("Fund"), messages); }
};

TEST_F(OpeningTest, Versions6And5OpenWholeOthersAreRefusedAndNoneIsChanged)
{
    const QByteArray record = HandRecord(6, 20040101, 0, "a", 1, 2, 3);
    const struct {
        QByteArray bytes;
        bool opens;
        std::size_t records;  // in the index when it opens
        const char* message;  // "" none, "wrong" the format message, "damage" a warning
    } cases[] = {
        {HandHeader(6, -1) + record, true, 1, ""},
        {HandHeader(5, -1), true, 0, ""},
        {{}, true, 0, ""},  // an empty file opens for its first record
        {HandHeader(4, -1), false, 0, "wrong"},
        {QByteArray("\x06\x00", 2), false, 0, "wrong"},  // shorter than its header
        // A partial last record is ignored and told about.
        {HandHeader(6, -1) + record + QByteArray(10, 'q'), true, 1, "damage"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        messages.shown.clear();
        WriteAll(path, c.bytes);  // a refused file leaves none open
        EXPECT_EQ(openIt(), c.opens);
        EXPECT_EQ(inv.isOpen(), c.opens);
        const QString message = messages.texts().join(QLatin1Char('|'));
        if (QLatin1String(c.message) == QLatin1String("wrong")) {
            EXPECT_EQ(message, path + wrongFormat);
            EXPECT_TRUE(!messages.shown.empty() && messages.shown[0].icon == ui::Icon::Exclamation);
        } else if (QLatin1String(c.message) == QLatin1String("damage")) {
            EXPECT_TRUE(message.startsWith(path)) << message.toStdString();
        } else {
            EXPECT_EQ(message, QString());
        }
        if (c.opens) {
            EXPECT_EQ(inv.CurrentFile, path);
            EXPECT_EQ(inv.CurrentFileDesc, QStringLiteral("Fund"));
            inv.BuildRecordIndex();
            EXPECT_EQ(inv.indexedCount(), c.records);
        }
        EXPECT_EQ(ReadAll(path), c.bytes);
    }
}

// Only a file that is not there is "moved or deleted"; any other failure
// beeps and shows its system text.
TEST_F(OpeningTest, AMissingFileIsMovedAMissingFolderShowsItsErrorText)
{
    EXPECT_FALSE(openIt());
    EXPECT_EQ(
        messages.texts(),
        QStringList{QStringLiteral("This file has been moved or deleted, or it's name has been "
                                   "changed.\n") +
                    path});
    EXPECT_EQ(messages.beeps, 0);
    EXPECT_FALSE(QFileInfo::exists(path));

    path = dir.filePath(QStringLiteral("gone/fund.dat"));
    EXPECT_FALSE(openIt());
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text,
              QStringLiteral("Error: ") + ErrorText(ErrPathNotFound) + QStringLiteral("\n") + path +
                  QStringLiteral(": its folder ") + dir.filePath(QStringLiteral("gone")) +
                  QStringLiteral(" does not exist"));
    EXPECT_EQ(messages.shown[1].icon, ui::Icon::Exclamation);
    EXPECT_EQ(messages.beeps, 1);
    EXPECT_FALSE(inv.isOpen());
}

// A damaged free chain (a loop, a link past the end, a link through a record
// in use): opened with a message, read as it is, never written by an add or a delete.
TEST_F(OpeningTest, ADamagedFreeChainIsReadButNeverWritten)
{
    const QByteArray used = HandRecord(6, 20040101, 0, "a", 1, 0, 0);
    const QByteArray freed = HandRecord(0, 0, 0, "", 0, 0, 0);
    QByteArray loop = HandHeader(6, 3) + used + freed + freed;
    PutLE(loop, 2 * 41 + 2, 4, 4);  // 3 -> 4
    PutLE(loop, 3 * 41 + 2, 3, 4);  // 4 -> 3
    QByteArray pastEnd = HandHeader(6, 3) + used + freed;
    PutLE(pastEnd, 2 * 41 + 2, 99, 4);
    const QByteArray inUse = HandHeader(6, 2) + used + HandRecord(6, 20040102, 0, "b", 1, 0, 0);
    for (const QByteArray& bytes : {loop, pastEnd, inUse}) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        inv.close();
        messages.shown.clear();
        WriteAll(path, bytes);
        EXPECT_TRUE(openIt());
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_TRUE(messages.shown[0].text.startsWith(path));
        inv.BuildRecordIndex();
        inv.RecordBuffer = TransactionRecord();
        inv.RecordBuffer.TransDate = 20050101;
        EXPECT_LT(inv.AddRecord(), 0);
        EXPECT_LT(inv.DeleteRecord(2), 0);
        EXPECT_EQ(ReadAll(path), bytes);
    }
}

}  // namespace
