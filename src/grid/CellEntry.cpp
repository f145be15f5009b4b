#include "grid/CellEntry.h"

#include "data/Dates.h"

#include <QLocale>
#include <cmath>

namespace brisden::grid {

bool IsEditableField(Field field)
{
    return field == Field::Date || field == Field::Desc || field == Field::Amount ||
           field == Field::SharePrice || field == Field::Shares;
}

int EntryLengthLimit(Field field)
{
    return field == Field::Desc ? 9 : 64;
}

QString EntryInputMask(Field field)
{
    // Qt writes a digit that may be left out as "0".
    return field == Field::Date ? QStringLiteral("00/00/0000") : QString();
}

QString EntryPrompt(Field field)
{
    switch (field) {
        case Field::Date:
            return QStringLiteral("Input the date of the transaction in the form 'MMDDYYYY'.");
        case Field::Desc:
            return QStringLiteral(
                "Input the description (up to 9 characters, insert 'split' for share splits).");
        case Field::Amount:
            return QStringLiteral(
                "If this is a purchase, sale, cash dividend, or service charge, input the amount, "
                "else leave blank.  Precede sales and dividends with '-'.");
        case Field::SharePrice:
            return QStringLiteral(
                "If this is a purchase, reinvestment, sale, share price update, or split, input "
                "the new share price, else leave blank.");
        case Field::Shares:
            return QStringLiteral(
                "For a reinvestment of distribution or sale, input the # of shares acquired or "
                "sold.  For a split, input the new share balance.  For internal svc fee, input a "
                "negative # of shares.  Round to .001.  All other cases, leave blank.");
        default:
            return QString();
    }
}

namespace {

QString DateEntryText(std::int32_t ymd)
{
    QString text = FormatDateDashes(SwapDateOrder(ymd));
    text.replace(QLatin1Char('-'), QLatin1Char('/'));
    if (text.startsWith(QLatin1Char(' ')))
        text[0] = QLatin1Char('0');
    return text;
}

}  // namespace

QString ShortestNumberText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QString EditorText(const TransactionRecord& record, Field field)
{
    switch (field) {
        case Field::Date:
            return DateEntryText(record.TransDate);
        case Field::Desc:
            return record.descText();
        case Field::Amount:
            return ShortestNumberText(record.Amount);
        case Field::SharePrice:
            return ShortestNumberText(record.SharePrice);
        case Field::Shares:
            return ShortestNumberText(record.Shares);
        default:
            return QString();
    }
}

QString EntryMessage(EntryResult result)
{
    switch (result) {
        case EntryResult::InvalidDate:
            return QStringLiteral("Invalid date");
        case EntryResult::NotNumeric:
            return QStringLiteral("Entry is not numeric");
        case EntryResult::Stored:
            break;
    }
    return QString();
}

bool ParseNumericEntry(const QString& text, double* value)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    double v = QLocale().toDouble(t, &ok);
    if (!ok)
        v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

EntryResult ApplyEntry(TransactionRecord& record, Field field, const QString& entry)
{
    switch (field) {
        case Field::Date: {
            QString digits;
            for (const QChar c : entry)
                if (c.isDigit())
                    digits += c;
            const std::int32_t d = digits.isEmpty() ? 0 : digits.left(8).toInt();
            if (!IsValidDate(d))
                return EntryResult::InvalidDate;
            record.TransDate = SwapDateOrder(d);
            return EntryResult::Stored;
        }
        case Field::Desc:
            record.setDesc(entry);
            return EntryResult::Stored;
        case Field::Amount:
        case Field::SharePrice:
        case Field::Shares: {
            double v = 0;
            if (!entry.trimmed().isEmpty() && !ParseNumericEntry(entry, &v))
                return EntryResult::NotNumeric;
            double& target = field == Field::Amount       ? record.Amount
                             : field == Field::SharePrice ? record.SharePrice
                                                          : record.Shares;
            target = v;
            return EntryResult::Stored;
        }
        default:
            return EntryResult::Stored;
    }
}

void ClearField(TransactionRecord& record, Field field)
{
    switch (field) {
        case Field::Date:
            record.TransDate = 0;
            break;
        case Field::Desc:
            record.Desc = QByteArray(9, ' ');
            break;
        case Field::Amount:
            record.Amount = 0;
            break;
        case Field::SharePrice:
            record.SharePrice = 0;
            break;
        case Field::Shares:
            record.Shares = 0;
            break;
        default:
            break;
    }
}

QString CopyBuffer::valueText() const
{
    switch (kind) {
        case Date:
            return DateEntryText(date);
        case Text:
            return text;
        case Number:
            return ShortestNumberText(number);
        case Empty:
            break;
    }
    return QString();
}

CopyBuffer::Kind PasteKindOf(Field field)
{
    switch (field) {
        case Field::Date:
            return CopyBuffer::Date;
        case Field::Desc:
            return CopyBuffer::Text;
        default:
            return CopyBuffer::Number;
    }
}

bool PasteIntoField(TransactionRecord& record, Field field, const CopyBuffer& buffer)
{
    if (!IsEditableField(field) || buffer.kind != PasteKindOf(field))
        return false;
    switch (field) {
        case Field::Date:
            record.TransDate = buffer.date;
            break;
        case Field::Desc:
            record.setDesc(buffer.text.left(9));
            break;
        case Field::Amount:
            record.Amount = buffer.number;
            break;
        case Field::SharePrice:
            record.SharePrice = buffer.number;
            break;
        case Field::Shares:
            record.Shares = buffer.number;
            break;
        default:
            return false;
    }
    return true;
}

}  // namespace brisden::grid
