#include "engine/core/IntegerConversion.h"

namespace {

int DigitValue(char c, bool hexadecimal)
{
    if (hexadecimal)
        return HexDigitValue(c);
    return c >= '0' && c <= '9' ? c - '0' : -1;
}

bool IsX(char c)
{
    return c == 'x' || c == 'X';
}

}  // namespace

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::int32_t> TryStrToInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hexadecimal = false;
    if (i < text.size() && (text[i] == '$' || IsX(text[i]))) {
        hexadecimal = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && IsX(text[i + 1])) {
        hexadecimal = true;
        i += 2;
    }
    if (i == text.size())
        return std::nullopt;

    const std::uint64_t limit = hexadecimal ? 0xFFFFFFFFu : (negative ? 2147483648u : 2147483647u);
    const std::uint64_t base = hexadecimal ? 16 : 10;
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], hexadecimal);
        if (digit < 0)
            return std::nullopt;
        value = value * base + static_cast<std::uint64_t>(digit);
        if (value > limit)
            return std::nullopt;
    }
    // Two's complement arithmetic on 32 bits gives both the sign and the hexadecimal pattern.
    const auto bits = static_cast<std::uint32_t>(value);
    return static_cast<std::int32_t>(negative ? 0u - bits : bits);
}
