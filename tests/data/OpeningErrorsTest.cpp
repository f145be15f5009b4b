// What opening an investment file tells the user when the file cannot be
// reached: only a file that is not there is "moved or deleted"; any other
// failure is shown with its system text after a beep.

#include "data/FileTable.h"
#include "data/InvestmentFile.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brisden;
using brisden::test::FakeMessages;

TEST(OpeningErrors, AMissingFolderIsReportedWithItsErrorText)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FileTable files;
    InvestmentFile inv(files);
    FakeMessages messages;
    const QString path = dir.filePath(QStringLiteral("gone/fund.dat"));

    EXPECT_FALSE(OpenInvestmentFile(inv, path, QString(), messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("Error: ") + ErrorText(ErrPathNotFound));
    EXPECT_EQ(messages.shown[0].icon, ui::Icon::Exclamation);
    EXPECT_EQ(messages.beeps, 1);
    EXPECT_FALSE(inv.isOpen());
}

TEST(OpeningErrors, AMissingFileIsMovedOrDeletedWithoutABeep)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FileTable files;
    InvestmentFile inv(files);
    FakeMessages messages;

    EXPECT_FALSE(
        OpenInvestmentFile(inv, dir.filePath(QStringLiteral("fund.dat")), QString(), messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(
        messages.shown[0].text,
        QStringLiteral("This file has been moved or deleted, or it's name has been changed."));
    EXPECT_EQ(messages.beeps, 0);
}
