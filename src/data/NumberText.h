#pragma once
// Numbers as text: the leading-number rule used wherever the program reads a
// number the user typed, and the plain decimal form of the report files.

#include <QByteArray>
#include <QString>

namespace brisden {

// The value of the decimal number formed by a text's leading characters
// (blanks and tabs ignored, "." as the decimal point, an optional sign, an
// optional exponent); 0 when there is none. "12abc" gives 12.
double Val(const QString& text);

// Plain decimal with a point, no exponent, no padding, a leading 0 before the
// point: the shortest text that reads back as the same value (0.5, -50,
// 333.333). Negative zero is written 0.
QByteArray PlainNumber(double value);
// The same for values held in single precision (returns, rates).
QByteArray PlainSingle(float value);

// The same texts written into a buffer of at least PlainNumberRoom bytes;
// returns the end of the text. For writers of millions of fields.
constexpr int PlainNumberRoom = 400;  // the largest double written without exponent
char* WritePlainNumber(char* out, double value);
char* WritePlainSingle(char* out, float value);

}  // namespace brisden
