#include "import/ImportSchema.h"

#include "shell/IniFile.h"

namespace brisden {

ImportSchema::ImportSchema()
{
    Slots.fill(NotUsedName());
}

const QStringList& ImportSchema::FieldNames()
{
    static const QStringList names = {
        QStringLiteral("*Not_Used*"), QStringLiteral("Date"),  QStringLiteral("Description"),
        QStringLiteral("Amount"),     QStringLiteral("Price"), QStringLiteral("Shares"),
    };
    return names;
}

QString ImportSchema::NotUsedName()
{
    return FieldNames().at(0);
}

ImportField ImportSchema::FieldFromName(const QString& name)
{
    static const ImportField fields[] = {ImportField::NotUsed,     ImportField::Date,
                                         ImportField::Description, ImportField::Amount,
                                         ImportField::Price,       ImportField::Shares};
    const QStringList& names = FieldNames();
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (name.compare(names.at(i), Qt::CaseInsensitive) == 0)
            return fields[i];
    }
    return ImportField::NotUsed;
}

QString ImportSchema::DateOptionCode(ImportDateOption option)
{
    switch (option) {
        case ImportDateOption::MDY:
            return QStringLiteral("MDY");
        case ImportDateOption::YMD:
            return QStringLiteral("YMD");
        case ImportDateOption::DMY:
            return QStringLiteral("DMY");
        case ImportDateOption::Universal:
            break;
    }
    return QStringLiteral("UDF");
}

QString ImportSchema::DateOptionCaption(ImportDateOption option)
{
    return option == ImportDateOption::Universal ? QStringLiteral("Universal")
                                                 : DateOptionCode(option);
}

DateReadOrder ImportSchema::readOrder() const
{
    switch (DateOption) {
        case ImportDateOption::MDY:
            return DateReadOrder::MDY;
        case ImportDateOption::DMY:
            return DateReadOrder::DMY;
        case ImportDateOption::YMD:
        case ImportDateOption::Universal:
            break;
    }
    return DateReadOrder::YMD;
}

QString ImportSchema::SchemaString() const
{
    QString s;
    for (const QString& slot : Slots)
        s += slot + QLatin1Char(' ');
    return s + DateOptionCode(DateOption);
}

void ImportSchema::ApplySaved(const QString& saved)
{
    if (saved.isEmpty())
        return;
    const QStringList words = saved.split(QLatin1Char(' '));
    for (int i = 0; i < SlotCount; ++i)
        Slots[std::size_t(i)] = i < words.size() ? words.at(i) : NotUsedName();
    if (words.size() > SlotCount) {
        const QString& code = words.at(SlotCount);
        for (ImportDateOption option : {ImportDateOption::MDY, ImportDateOption::YMD,
                                        ImportDateOption::DMY, ImportDateOption::Universal}) {
            if (code == DateOptionCode(option))
                DateOption = option;
        }
    }
}

ImportSchema ImportSchema::FromSaved(const QString& saved)
{
    ImportSchema schema;
    schema.ApplySaved(saved);
    return schema;
}

QString ImportSchema::ReadSaved(const QString& iniPath)
{
    return ReadINI(QStringLiteral("General"), QStringLiteral("ImportSchema"), QString(), iniPath);
}

void ImportSchema::Save(const QString& iniPath) const
{
    WriteINI(QStringLiteral("General"), QStringLiteral("ImportSchema"), SchemaString(), iniPath);
}

}  // namespace brisden
