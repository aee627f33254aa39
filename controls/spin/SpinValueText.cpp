#include "controls/spin/SpinValueText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

// Most digits written after the separator; a long double holds no more than this.
constexpr int kMaxDecimals = 18;
// Significant digits of a written floating-point number.
constexpr int kSignificantDigits = 15;

int HexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

bool IsDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// Digits of a positive value rounded to the significant digits, and the count of whole digits
// (value = 0.digits * 10^wholeDigits).
struct TDecimalDigits
{
    std::string digits;
    int wholeDigits = 0;
};

TDecimalDigits SignificantDigits(long double positive)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*Le", kSignificantDigits - 1, positive);
    TDecimalDigits result;
    const char* p = buffer;
    for (; *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            result.digits.push_back(*p);
    result.wholeDigits = std::atoi(p + 1) + 1;
    return result;
}

// Rounds to keep digits, a half away from zero as decimal rounding does.
void RoundDigits(TDecimalDigits& number, int keep)
{
    if (keep >= static_cast<int>(number.digits.size()))
        return;
    if (keep < 0) {
        number.digits.clear();
        return;
    }
    const bool up = number.digits[static_cast<std::size_t>(keep)] >= '5';
    number.digits.resize(static_cast<std::size_t>(keep));
    if (!up)
        return;
    int i = keep - 1;
    while (i >= 0 && number.digits[static_cast<std::size_t>(i)] == '9')
        number.digits[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
        ++number.digits[static_cast<std::size_t>(i)];
    } else {
        // Every kept digit was 9: the carry makes 1 followed by zeros. Written
        // by assign rather than insert and a literal, which GCC 12 at -O3
        // wrongly reports as overlapping copies (-Wrestrict, GCC bug 105329).
        number.digits.assign(static_cast<std::size_t>(std::max(keep, 1)), '0');
        number.digits.front() = '1';
        ++number.wholeDigits;
    }
}

QString Scientific(TDecimalDigits number, bool negative, QChar separator)
{
    while (number.digits.size() > 1 && number.digits.back() == '0')
        number.digits.pop_back();
    QString text = negative ? QStringLiteral("-") : QString();
    text += QChar::fromLatin1(number.digits[0]);
    if (number.digits.size() > 1) {
        text += separator;
        text += QString::fromLatin1(number.digits.substr(1));
    }
    return text + QLatin1Char('E') + QString::number(number.wholeDigits - 1);
}

}  // namespace

std::optional<std::int64_t> ParseInteger64(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    bool hex = false;
    if (i < text.size() && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i == text.size())
        return std::nullopt;

    const unsigned base = hex ? 16 : 10;
    const std::uint64_t limit = hex ? std::numeric_limits<std::uint64_t>::max()
                                    : (negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1);
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = HexDigitValue(text[i]);
        if (digit < 0 || static_cast<unsigned>(digit) >= base)
            return std::nullopt;
        if (magnitude > (limit - static_cast<unsigned>(digit)) / base)
            return std::nullopt;
        magnitude = magnitude * base + static_cast<unsigned>(digit);
    }
    return static_cast<std::int64_t>(negative ? std::uint64_t{0} - magnitude : magnitude);
}

std::optional<long double> ParseFloatText(QStringView text, QChar decimalSeparator)
{
    qsizetype i = 0;
    const qsizetype end = [&] {
        qsizetype e = text.size();
        while (e > 0 && text[e - 1] == u' ')
            --e;
        return e;
    }();
    while (i < end && text[i] == u' ')
        ++i;

    std::string normalized;
    if (i < end && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            normalized.push_back('-');
        ++i;
    }
    int mantissaDigits = 0;
    for (; i < end && IsDigit(text[i]); ++i, ++mantissaDigits)
        normalized.push_back(static_cast<char>(text[i].unicode()));
    if (i < end && text[i] == decimalSeparator) {
        normalized.push_back('.');
        for (++i; i < end && IsDigit(text[i]); ++i, ++mantissaDigits)
            normalized.push_back(static_cast<char>(text[i].unicode()));
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        normalized.push_back('e');
        ++i;
        if (i < end && (text[i] == u'+' || text[i] == u'-'))
            normalized.push_back(static_cast<char>(text[i++].unicode()));
        int exponentDigits = 0;
        for (; i < end && IsDigit(text[i]); ++i, ++exponentDigits)
            normalized.push_back(static_cast<char>(text[i].unicode()));
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;

    long double value = 0;
    const auto result = std::from_chars(normalized.data(), normalized.data() + normalized.size(), value);
    if (result.ec != std::errc() || result.ptr != normalized.data() + normalized.size())
        return std::nullopt;
    return value;
}

QString FormatInteger64(long double value, bool hex)
{
    constexpr long double kTwoTo63 = 0x1p63L;
    const long double rounded = std::nearbyint(value);
    std::int64_t whole = 0;
    if (rounded >= kTwoTo63)
        whole = std::numeric_limits<std::int64_t>::max();
    else if (rounded < -kTwoTo63)
        whole = std::numeric_limits<std::int64_t>::min();
    else
        whole = static_cast<std::int64_t>(rounded);
    if (!hex)
        return QString::number(static_cast<qlonglong>(whole));
    return QString::number(static_cast<qulonglong>(static_cast<std::uint64_t>(whole)), 16).toUpper();
}

QString FormatFixed(long double value, int decimals, QChar decimalSeparator)
{
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");

    const bool negative = value < 0;
    TDecimalDigits number;
    if (value != 0)
        number = SignificantDigits(std::fabs(value));
    if (number.wholeDigits > kSignificantDigits)
        return Scientific(number, negative, decimalSeparator);
    RoundDigits(number, number.wholeDigits + decimals);
    if (number.wholeDigits > kSignificantDigits)
        return Scientific(number, negative, decimalSeparator);

    // Digit at a position counted from the decimal point (0 = first whole digit of the number).
    auto digitAt = [&](int position) {
        return position >= 0 && position < static_cast<int>(number.digits.size())
                   ? number.digits[static_cast<std::size_t>(position)]
                   : '0';
    };
    std::string whole;
    for (int p = 0; p < number.wholeDigits; ++p)
        whole.push_back(digitAt(p));
    if (whole.empty())
        whole.push_back('0');
    std::string fraction;
    for (int d = 0; d < decimals; ++d)
        fraction.push_back(digitAt(number.wholeDigits + d));

    const bool zero =
        whole.find_first_not_of('0') == std::string::npos && fraction.find_first_not_of('0') == std::string::npos;
    QString text = negative && !zero ? QStringLiteral("-") : QString();
    text += QString::fromLatin1(whole);
    if (decimals > 0)
        text += decimalSeparator + QString::fromLatin1(fraction);
    return text;
}

long double ReadSpinValue(QStringView text, TValueType type, long double minValue, QChar decimalSeparator)
{
    switch (type) {
    case vtFloat: return ParseFloatText(text, decimalSeparator).value_or(minValue);
    case vtHex: {
        const auto number = ParseInteger64(QStringLiteral("$") + text.toString());
        return number ? static_cast<long double>(*number) : std::trunc(minValue);
    }
    case vtInteger: break;
    }
    const auto number = ParseInteger64(text);
    return number ? static_cast<long double>(*number) : std::trunc(minValue);
}

QString WriteSpinValue(long double value, TValueType type, int decimals, QChar decimalSeparator)
{
    switch (type) {
    case vtFloat: return FormatFixed(value, decimals, decimalSeparator);
    case vtHex: return FormatInteger64(value, true);
    case vtInteger: break;
    }
    return FormatInteger64(value, false);
}
