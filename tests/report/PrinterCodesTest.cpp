// The text printer's control codes as typed in the preferences, and its
// questions.

#include "report/PrinterCodes.h"

#include <gtest/gtest.h>

namespace brisden {
namespace {

TEST(PrinterCodes, EachPieceIsOneByteByItsLeadingNumberAndMessagesNameThePrinter)
{
    EXPECT_EQ(QByteArray("\x1b\x40"), ParsePrinterCodes(QStringLiteral("27,64")));
    EXPECT_TRUE(ParsePrinterCodes(QString()).isEmpty());
    // Blanks are passed over, trailing text ignored, a piece with no number
    // (an empty one too) is 0, fractions round, the range is a byte's.
    EXPECT_EQ(QByteArray("\x1b\x00\x0d\x00\xff\x02\x00", 7),
              ParsePrinterCodes(QStringLiteral(" 27 ,x,13abc,,300,1.6,-5")));
    // Every byte value comes through, in order.
    QString all;
    QByteArray expected;
    for (int b = 0; b < 256; ++b) {
        all += (b ? QStringLiteral(",") : QString()) + QString::number(b);
        expected.append(char(b));
    }
    EXPECT_EQ(expected, ParsePrinterCodes(all));

    // The questions and messages name the printer.
    EXPECT_EQ(QStringLiteral("Make sure that device Lab 1 is ready, and set up for landscape "
                             "orientation (if necessary)."),
              DeviceReadyQuestion(QStringLiteral("Lab 1"), OrientationLandscape));
    EXPECT_EQ(QStringLiteral("Make sure that device P is ready, and set up for portrait "
                             "orientation (if necessary)."),
              DeviceReadyQuestion(QStringLiteral("P"), OrientationPortrait));
    EXPECT_EQ(QStringLiteral("The chosen printer: P is not available, please try another."),
              PrinterNotAvailableMessage(QStringLiteral("P")));
    EXPECT_EQ(QStringLiteral("Error: The chosen printer, P, doesn't support the orientation "
                             "chosen."),
              PrinterOrientationMessage(QStringLiteral("P")));
}

}  // namespace
}  // namespace brisden
