#include "data/NumberText.h"

#include <charconv>
#include <cmath>
#include <string>

namespace brisden {

double Val(const QString& text)
{
    // Blanks, tabs and line feeds are passed over anywhere in the leading
    // number, as the leading-number rule has always done ("1 000" is 1000).
    std::string digits;
    bool seenDigit = false, seenPoint = false, seenExponent = false, exponentDigit = false;
    int i = 0;
    const int n = int(text.size());
    auto skipBlanks = [&] {
        while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t') ||
                         text[i] == QLatin1Char('\n') || text[i] == QLatin1Char('\r')))
            ++i;
    };
    skipBlanks();
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        if (text[i] == QLatin1Char('-'))
            digits += '-';
        ++i;
    }
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
            c == QLatin1Char('\r'))
            continue;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits += char(c.unicode());
            if (seenExponent)
                exponentDigit = true;
            else
                seenDigit = true;
        } else if (c == QLatin1Char('.') && !seenPoint && !seenExponent) {
            digits += '.';
            seenPoint = true;
        } else if ((c == QLatin1Char('e') || c == QLatin1Char('E') || c == QLatin1Char('d') ||
                    c == QLatin1Char('D')) &&
                   seenDigit && !seenExponent) {
            // Only an exponent followed by digits counts.
            int j = i + 1;
            while (j < n && text[j] == QLatin1Char(' '))
                ++j;
            if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
                ++j;
            if (j >= n || !text[j].isDigit())
                break;
            digits += 'e';
            seenExponent = true;
            if (text[i + 1] == QLatin1Char('+') || text[i + 1] == QLatin1Char('-')) {
                ++i;
                digits += char(text[i].unicode());
            }
        } else {
            break;
        }
    }
    if (!seenDigit)
        return 0;
    if (seenExponent && !exponentDigit)
        digits.erase(digits.find('e'));
    double value = 0;
    const char* first = digits.data();
    const char* last = digits.data() + digits.size();
    const auto result = std::from_chars(first, last, value);
    if (result.ec == std::errc::result_out_of_range)
        return digits[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    return result.ec == std::errc() ? value : 0;
}

namespace {

// The shortest fixed-point text that reads back as the same value of T;
// negative zero is written 0.
template <typename T>
char* WriteShortestPlain(char* out, T value)
{
    if (value == 0) {
        *out = '0';
        return out + 1;
    }
    return std::to_chars(out, out + PlainNumberRoom, value, std::chars_format::fixed).ptr;
}

template <typename T>
QByteArray ShortestPlain(T value)
{
    char buffer[PlainNumberRoom];
    return QByteArray(buffer, int(WriteShortestPlain(buffer, value) - buffer));
}

}  // namespace

QByteArray PlainNumber(double value)
{
    return ShortestPlain(value);
}

QByteArray PlainSingle(float value)
{
    return ShortestPlain(value);
}

char* WritePlainNumber(char* out, double value)
{
    return WriteShortestPlain(out, value);
}

char* WritePlainSingle(char* out, float value)
{
    return WriteShortestPlain(out, value);
}

}  // namespace brisden
