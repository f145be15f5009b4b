#pragma once
// The import schema: which field each of the first five columns of a line
// holds, and the order in which numeric dates are written. Its saved form (the
// "ImportSchema" setting) is the five slot names, each followed by one blank,
// then the date-order code: "Date Description Amount Price Shares MDY".

#include <QString>
#include <QStringList>
#include <array>

namespace brisden {

// In the order of FieldNames().
enum class ImportField { NotUsed, Date, Description, Amount, Price, Shares };

// The date options of the import dialog, in their order (optDatFmt 0 to 3).
enum class ImportDateOption { MDY = 0, YMD = 1, DMY = 2, Universal = 3 };

// The order in which the engine reads the parts of a numeric date.
enum class DateReadOrder { MDY, YMD, DMY };

struct ImportSchema {
    static constexpr int SlotCount = 5;

    // Text2(0) to Text2(4): as the user chose them (or as read from the
    // settings); a name the engine does not know is kept but not used.
    std::array<QString, SlotCount> Slots;
    ImportDateOption DateOption = ImportDateOption::Universal;

    // A fresh dialog: every slot "*Not_Used*", "Universal".
    ImportSchema();

    // "*Not_Used*", "Date", "Description", "Amount", "Price", "Shares" (Combo1's list).
    static const QStringList& FieldNames();
    static QString NotUsedName();
    // Case-insensitive; any other text is NotUsed.
    static ImportField FieldFromName(const QString& name);
    // "MDY", "YMD", "DMY", "UDF".
    static QString DateOptionCode(ImportDateOption option);
    // "MDY", "YMD", "DMY", "Universal".
    static QString DateOptionCaption(ImportDateOption option);

    ImportField field(int slot) const { return FieldFromName(Slots.at(std::size_t(slot))); }
    // Universal dates are read year, month, day.
    DateReadOrder readOrder() const;

    // The saved form: each slot's text and a blank, then the date code.
    QString SchemaString() const;
    // Applies a saved value as the dialog does each time it is shown: split
    // at single blanks, the first five words into the slots (slots without a
    // word become "*Not_Used*"), a sixth word that is a date code selects
    // that option, any other sixth word (or none) leaves the option as it is.
    // An empty value changes nothing.
    void ApplySaved(const QString& saved);
    // A fresh schema with a saved value applied.
    static ImportSchema FromSaved(const QString& saved);

    // The "ImportSchema" setting of section "General" (empty when nothing is saved).
    static QString ReadSaved(const QString& iniPath);
    // Writes SchemaString() as the "ImportSchema" setting.
    void Save(const QString& iniPath) const;
};

}  // namespace brisden
