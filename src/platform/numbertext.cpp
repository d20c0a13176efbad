#include "numbertext.h"

#include <QLocale>
#include <QStringView>

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace numbertext
{

namespace
{

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The number split into its parts, ASCII digits only, ready for from_chars.
struct Parts {
    bool negative = false;
    std::string whole;    // digits before the separator
    std::string fraction; // digits after it
    std::string exponent; // "" or an optional "-" and digits
};

std::optional<Parts> split(const QString& text)
{
    const QString trimmed = text.trimmed();
    const QStringView t(trimmed);
    const QString separator = QLocale().decimalPoint();
    const qsizetype n = t.size();
    qsizetype i = 0;
    Parts parts;

    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
        parts.negative = t[i] == QLatin1Char('-');
        ++i;
    }
    while (i < n && isAsciiDigit(t[i]))
        parts.whole += static_cast<char>(t[i++].unicode());
    if (!separator.isEmpty() && t.mid(i).startsWith(separator)) {
        i += separator.size();
        while (i < n && isAsciiDigit(t[i]))
            parts.fraction += static_cast<char>(t[i++].unicode());
    }
    if (parts.whole.empty() && parts.fraction.empty())
        return std::nullopt;
    if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        ++i;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
            if (t[i] == QLatin1Char('-'))
                parts.exponent += '-';
            ++i;
        }
        const std::size_t signLength = parts.exponent.size();
        while (i < n && isAsciiDigit(t[i]))
            parts.exponent += static_cast<char>(t[i++].unicode());
        if (parts.exponent.size() == signLength)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    return parts;
}

// Decides, for a number from_chars found out of range, whether it is too large
// (true) or too small (false): the decimal position of its first non-zero digit
// plus the exponent tells which side of 1 it lies on.
bool isHuge(const Parts& parts)
{
    long long position = 0;
    bool found = false;
    for (std::size_t k = 0; k < parts.whole.size() && !found; ++k) {
        if (parts.whole[k] != '0') {
            position = static_cast<long long>(parts.whole.size() - k) - 1;
            found = true;
        }
    }
    for (std::size_t k = 0; k < parts.fraction.size() && !found; ++k) {
        if (parts.fraction[k] != '0') {
            position = -static_cast<long long>(k) - 1;
            found = true;
        }
    }
    // The exponent may have any number of digits; past a few thousand the answer no longer changes.
    long long exponent = 0;
    bool negativeExponent = false;
    for (char c : parts.exponent) {
        if (c == '-')
            negativeExponent = true;
        else if (exponent < 1'000'000)
            exponent = exponent * 10 + (c - '0');
    }
    return position + (negativeExponent ? -exponent : exponent) > 0;
}

} // namespace

bool isNumeric(const QString& text)
{
    return split(text).has_value();
}

std::optional<double> toDouble(const QString& text)
{
    const std::optional<Parts> parts = split(text);
    if (!parts)
        return std::nullopt;

    std::string plain = parts->whole.empty() ? std::string("0") : parts->whole;
    if (!parts->fraction.empty())
        plain += '.' + parts->fraction;
    if (!parts->exponent.empty())
        plain += 'e' + parts->exponent;

    double value = 0.0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error == std::errc::result_out_of_range)
        value = isHuge(*parts) ? std::numeric_limits<double>::infinity() : 0.0;
    else if (error != std::errc() || end != plain.data() + plain.size())
        return std::nullopt;
    return parts->negative ? -value : value;
}

double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double below = std::floor(value);
    const double rest = value - below; // exact for every finite double
    if (rest > 0.5)
        return below + 1.0;
    if (rest < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

namespace
{

template <typename Int> std::optional<Int> toInt(const QString& text)
{
    const std::optional<double> value = toDouble(text);
    if (!value)
        return std::nullopt;
    const double rounded = roundHalfEven(*value);
    if (!(rounded >= static_cast<double>(std::numeric_limits<Int>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<Int>::max())))
        return std::nullopt;
    return static_cast<Int>(rounded);
}

} // namespace

std::optional<qint16> toInt16(const QString& text)
{
    return toInt<qint16>(text);
}

std::optional<qint32> toInt32(const QString& text)
{
    return toInt<qint32>(text);
}

QString fromInt(qint64 value)
{
    return QString::number(value);
}

QString fromDouble(double value)
{
    if (value == 0.0)
        return QStringLiteral("0"); // also for -0.0
    // Fixed notation needs at most about 330 characters for any double.
    std::array<char, 400> buffer{};
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    if (error != std::errc())
        return {};
    QString text = QString::fromLatin1(buffer.data(), end - buffer.data());
    text.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return text;
}

} // namespace numbertext
