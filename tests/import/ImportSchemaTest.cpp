// The import schema and its saved form.

#include "import/ImportSchema.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brisden;

TEST(ImportSchema, FreshSchemaIsUnusedAndUniversal)
{
    const ImportSchema schema;
    for (int i = 0; i < ImportSchema::SlotCount; ++i) {
        EXPECT_EQ(schema.Slots[std::size_t(i)], QStringLiteral("*Not_Used*"));
        EXPECT_EQ(schema.field(i), ImportField::NotUsed);
    }
    EXPECT_EQ(schema.DateOption, ImportDateOption::Universal);
    EXPECT_EQ(schema.readOrder(), DateReadOrder::YMD);
    EXPECT_EQ(schema.SchemaString(),
              QStringLiteral("*Not_Used* *Not_Used* *Not_Used* *Not_Used* *Not_Used* UDF"));
}

TEST(ImportSchema, SavedFormRoundTrip)
{
    const QString saved = QStringLiteral("Date Description Amount Price Shares MDY");
    const ImportSchema schema = ImportSchema::FromSaved(saved);
    const ImportField fields[] = {ImportField::Date, ImportField::Description, ImportField::Amount,
                                  ImportField::Price, ImportField::Shares};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(schema.field(i), fields[i]) << i;
    EXPECT_EQ(schema.DateOption, ImportDateOption::MDY);
    EXPECT_EQ(schema.SchemaString(), saved);
}

TEST(ImportSchema, NamesIgnoreCaseAndUnknownNamesAreUnused)
{
    const ImportSchema schema =
        ImportSchema::FromSaved(QStringLiteral("shares AMOUNT dAtE Comment *not_used* DMY"));
    const ImportField fields[] = {ImportField::Shares, ImportField::Amount, ImportField::Date,
                                  ImportField::NotUsed, ImportField::NotUsed};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(schema.field(i), fields[i]) << i;
    EXPECT_EQ(schema.Slots[3], QStringLiteral("Comment"));  // kept as the user wrote it
    EXPECT_EQ(schema.readOrder(), DateReadOrder::DMY);
}

TEST(ImportSchema, DateCodes)
{
    EXPECT_EQ(ImportSchema::FromSaved(QStringLiteral("Date a b c d UDF")).DateOption,
              ImportDateOption::Universal);
    EXPECT_EQ(ImportSchema::FromSaved(QStringLiteral("Date a b c d YMD")).readOrder(),
              DateReadOrder::YMD);
    EXPECT_EQ(ImportSchema::DateOptionCaption(ImportDateOption::Universal),
              QStringLiteral("Universal"));

    // No sixth word, or one that is no code: the option stays as it was.
    ImportSchema schema;
    schema.DateOption = ImportDateOption::DMY;
    for (const char* saved :
         {"Date Description Amount Price Shares", "Date Description Amount Price Shares XYZ",
          "Date Description Amount Price Shares mdy"}) {
        schema.ApplySaved(QString::fromLatin1(saved));
        EXPECT_EQ(schema.DateOption, ImportDateOption::DMY) << saved;
    }
}

TEST(ImportSchema, ShortOrEmptySavedValues)
{
    ImportSchema schema = ImportSchema::FromSaved(QStringLiteral("Price Date"));
    EXPECT_EQ(schema.field(0), ImportField::Price);
    EXPECT_EQ(schema.field(1), ImportField::Date);
    for (int i = 2; i < ImportSchema::SlotCount; ++i)
        EXPECT_EQ(schema.Slots[std::size_t(i)], QStringLiteral("*Not_Used*"));
    EXPECT_EQ(schema.DateOption, ImportDateOption::Universal);

    // Nothing saved: the dialog keeps what it shows.
    schema.ApplySaved(QString());
    EXPECT_EQ(schema.field(0), ImportField::Price);
}

TEST(ImportSchema, SavedInTheSettingsFile)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Application.ini"));
    EXPECT_TRUE(ImportSchema::ReadSaved(ini).isEmpty());
    ImportSchema schema;
    schema.Slots[0] = QStringLiteral("Date");
    schema.Slots[2] = QStringLiteral("Amount");
    schema.DateOption = ImportDateOption::DMY;
    schema.Save(ini);
    EXPECT_EQ(ImportSchema::ReadSaved(ini),
              QStringLiteral("Date *Not_Used* Amount *Not_Used* *Not_Used* DMY"));
    const ImportSchema back = ImportSchema::FromSaved(ImportSchema::ReadSaved(ini));
    EXPECT_EQ(back.field(2), ImportField::Amount);
    EXPECT_EQ(back.DateOption, ImportDateOption::DMY);
}
