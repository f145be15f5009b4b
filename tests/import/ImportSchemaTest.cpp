// The import schema and its saved form (saved in the settings file and read
// from there: checked with the import dialog and the command line).

#include "import/ImportSchema.h"

#include <gtest/gtest.h>

using namespace brisden;

namespace {

// The fields of the five slots as letters: - unused, D date, T description
// (text), A amount, P price, S shares.
QString FieldLetters(const ImportSchema& schema)
{
    QString letters;
    for (int i = 0; i < ImportSchema::SlotCount; ++i)
        letters += QStringLiteral("-DTAPS").at(int(schema.field(i)));
    return letters;
}

TEST(ImportSchema, SavedFormsAndWhatTheyRead)
{
    // Saved form, slots, date option, read order, saved form written back
    // (nullptr: the same).
    const auto expect = [](const char* saved, const char* fields, ImportDateOption option,
                           DateReadOrder order, const char* savedAgain = nullptr) {
        const ImportSchema schema = ImportSchema::FromSaved(QLatin1String(saved));
        EXPECT_EQ(FieldLetters(schema), QLatin1String(fields)) << saved;
        EXPECT_EQ(schema.DateOption, option) << saved;
        EXPECT_EQ(schema.readOrder(), order) << saved;
        EXPECT_EQ(schema.SchemaString(), QLatin1String(savedAgain ? savedAgain : saved));
    };
    expect("", "-----", ImportDateOption::Universal, DateReadOrder::YMD,
           "*Not_Used* *Not_Used* *Not_Used* *Not_Used* *Not_Used* UDF");
    expect("Date Description Amount Price Shares MDY", "DTAPS", ImportDateOption::MDY,
           DateReadOrder::MDY);
    // Names in any letter case; unknown names are kept but not used.
    expect("shares AMOUNT dAtE Comment *not_used* DMY", "SAD--", ImportDateOption::DMY,
           DateReadOrder::DMY);
    expect("Date a b c d YMD", "D----", ImportDateOption::YMD, DateReadOrder::YMD);
    // Slots without a word are unused.
    expect("Price Date", "PD---", ImportDateOption::Universal, DateReadOrder::YMD,
           "Price Date *Not_Used* *Not_Used* *Not_Used* UDF");
    EXPECT_EQ(ImportSchema::DateOptionCaption(ImportDateOption::Universal),
              QStringLiteral("Universal"));
}

TEST(ImportSchema, WithoutADateCodeTheOptionAndSlotsStay)
{
    ImportSchema schema = ImportSchema::FromSaved(QStringLiteral("Price Date"));
    schema.DateOption = ImportDateOption::DMY;
    for (const char* saved :
         {"Date Description Amount Price Shares", "Date Description Amount Price Shares XYZ",
          "Date Description Amount Price Shares mdy"}) {
        schema.ApplySaved(QString::fromLatin1(saved));
        EXPECT_EQ(schema.DateOption, ImportDateOption::DMY) << saved;
    }
    // Nothing saved: the dialog keeps what it shows.
    schema.ApplySaved(QString());
    EXPECT_EQ(schema.field(0), ImportField::Date);
}

}  // namespace
