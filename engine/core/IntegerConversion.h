#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The standard string-to-integer conversion: leading blanks, at most one sign,
// then either decimal digits whose value lies within the signed 32-bit range, or
// a hexadecimal number after "$", "x" or "0x" (either case of the x) of at most
// 32 bits, taken as a 32-bit pattern ("$FFFFFFFF" is -1). Nothing may follow the
// number. Returns nothing when the text is not such a number.
std::optional<std::int32_t> TryStrToInt(std::string_view text);

// The value of a hexadecimal digit in either case; -1 for any other character.
int HexDigitValue(char c);
