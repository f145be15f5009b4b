#include "report/widgets/DateBox.h"

#include "data/NumberText.h"

#include <QTimer>

namespace brisden {

DateBox::DateBox(QWidget* parent) : QLineEdit(parent)
{
    setInputMask(QStringLiteral("99/99/9999"));
}

void DateBox::setDate(std::int32_t mdy)
{
    const QString digits = QStringLiteral("%1").arg(mdy, 8, 10, QLatin1Char('0'));
    setText(digits.left(2) + QLatin1Char('/') + digits.mid(2, 2) + QLatin1Char('/') +
            digits.mid(4));
}

std::int32_t DateBox::date() const
{
    QString digits = text();
    digits.remove(QLatin1Char('/'));
    digits.remove(QLatin1Char(' '));
    return static_cast<std::int32_t>(Val(digits));
}

void DateBox::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    QTimer::singleShot(0, this, [this] { selectAll(); });
}

}  // namespace brisden
