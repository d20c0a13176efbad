#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// Numbers as the user reads and types them. Decimal fractions use the decimal
// separator of the default locale (QLocale()); digit grouping is never used
// or accepted, and the minus sign is always the ASCII "-".
namespace numbertext
{

// True when the text, leaving out blanks around it, is an optional sign, then
// digits with an optional fraction (locale separator) and an optional exponent
// (e or E, optional sign, digits). "1." and ".5" count; "", "-", "+", a lone
// separator, "1-2" and anything with letters do not.
bool isNumeric(const QString& text);

// The text read as a number, only when isNumeric(text). A number too large
// for a double reads as +/-infinity, one too small as zero.
std::optional<double> toDouble(const QString& text);

// The nearest whole number; a half goes to the even neighbour
// (12.5 -> 12, 13.5 -> 14, -2.5 -> -2, -0.5 -> 0). Infinities and NaN come
// back unchanged, so a range check on the result still refuses them.
double roundHalfEven(double value);

// The text read and rounded half-to-even; nothing when the text is not numeric
// or the rounded number does not fit the type (32767.5 does not fit, -32768.5 does).
std::optional<qint16> toInt16(const QString& text);
std::optional<qint32> toInt32(const QString& text);

// Plain decimal: "-" for negatives, no grouping, no blanks.
QString fromInt(qint64 value);

// The shortest decimal that reads back as exactly this double, written with
// the locale's decimal separator and without exponent, trailing zeros or
// grouping: 1.5625 -> "1.5625", 2.0 -> "2", -0.5 -> "-0.5". Negative zero is "0".
QString fromDouble(double value);

} // namespace numbertext
