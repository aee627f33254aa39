#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// How the spin edit reads its text as a number and writes a number as text.
enum TValueType { vtInteger, vtFloat, vtHex };

// A whole number: leading blanks, an optional sign, then decimal digits, or hex digits after "$", "x"
// or "0x". Decimal numbers must fit a signed 64-bit integer. Hex numbers may use all 64 bits and are
// taken as two's complement, so that a negative number written in hex reads back as itself.
std::optional<std::int64_t> ParseInteger64(QStringView text);

// A floating-point number: blanks, sign, digits with at most one decimal separator, an optional
// exponent after "e" or "E", blanks. Numbers beyond the range of long double fail.
std::optional<long double> ParseFloatText(QStringView text, QChar decimalSeparator);

// The whole number nearest to value (halves to the even neighbour), bounded to the signed 64-bit
// range, in decimal or in upper-case hex (two's complement for negative numbers).
QString FormatInteger64(long double value, bool hex);

// value rounded to 15 significant digits, written with the given number of digits (at most 18) after
// the separator; numbers with more than 15 whole digits are written as mantissa and exponent ("1E22").
QString FormatFixed(long double value, int decimals, QChar decimalSeparator);

// The text read as a value of the given type; text that cannot be read gives the lower bound
// (cut to a whole number for the whole-number types).
long double ReadSpinValue(QStringView text, TValueType type, long double minValue, QChar decimalSeparator);
QString WriteSpinValue(long double value, TValueType type, int decimals, QChar decimalSeparator);
