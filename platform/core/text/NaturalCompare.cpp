#include "platform/core/text/NaturalCompare.h"

#include <QChar>

#include <algorithm>
#include <cstddef>
#include <cstring>

// Each name is read as a sequence of tokens: runs of ASCII digits (numbers),
// characters (case-folded code points of valid UTF-8) and stray bytes (bytes
// that are no valid UTF-8, ordered after every code point). Numbers order
// among themselves by value and, against a character, as a digit would; no
// character folds into the digit range, so this is a total order. Equal token
// sequences fall back to the bytes.

namespace {

// Keys of stray bytes start above the last code point.
constexpr char32_t kStrayByteBase = 0x110000;

bool IsDigit(unsigned char byte)
{
    return byte >= '0' && byte <= '9';
}

char32_t FoldAscii(unsigned char byte)
{
    return byte >= 'A' && byte <= 'Z' ? char32_t(byte + ('a' - 'A')) : char32_t(byte);
}

// Decodes one UTF-8 sequence at `pos` and returns its case-folded code point,
// or a stray-byte key for an invalid sequence (then one byte is consumed).
char32_t NextKey(std::string_view text, std::size_t& pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return FoldAscii(lead);
    }
    std::size_t length = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        minimum = 0x10000;
    }
    if (length == 0 || pos + length > text.size()) {
        ++pos;
        return kStrayByteBase + lead;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kStrayByteBase + lead;
        }
        code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++pos;
        return kStrayByteBase + lead;
    }
    pos += length;
    return QChar::toCaseFolded(code);
}

// Compares the digit runs starting at `ia` and `ib` by value and moves both
// positions past them.
int CompareNumbers(std::string_view a, std::size_t& ia, std::string_view b, std::size_t& ib)
{
    while (ia < a.size() && a[ia] == '0')
        ++ia;
    while (ib < b.size() && b[ib] == '0')
        ++ib;
    const std::size_t startA = ia;
    const std::size_t startB = ib;
    while (ia < a.size() && IsDigit(static_cast<unsigned char>(a[ia])))
        ++ia;
    while (ib < b.size() && IsDigit(static_cast<unsigned char>(b[ib])))
        ++ib;
    const std::size_t lengthA = ia - startA;
    const std::size_t lengthB = ib - startB;
    if (lengthA != lengthB)
        return lengthA < lengthB ? -1 : 1;
    const int order = std::memcmp(a.data() + startA, b.data() + startB, lengthA);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

// Where both names start with the same ASCII text, the tokens there are equal:
// skips it, up to the last boundary that does not cut a number.
std::size_t CommonAsciiPrefix(std::string_view a, std::string_view b)
{
    const std::size_t limit = std::min(a.size(), b.size());
    std::size_t pos = 0;
    while (pos < limit && a[pos] == b[pos] && static_cast<unsigned char>(a[pos]) < 0x80)
        ++pos;
    while (pos > 0 && IsDigit(static_cast<unsigned char>(a[pos - 1])))
        --pos;
    return pos;
}

}  // namespace

int NaturalCompare(std::string_view a, std::string_view b)
{
    std::size_t ia = CommonAsciiPrefix(a, b);
    std::size_t ib = ia;
    while (ia < a.size() && ib < b.size()) {
        const auto byteA = static_cast<unsigned char>(a[ia]);
        const auto byteB = static_cast<unsigned char>(b[ib]);
        const bool digitA = IsDigit(byteA);
        const bool digitB = IsDigit(byteB);
        if (digitA && digitB) {
            if (const int order = CompareNumbers(a, ia, b, ib))
                return order;
            continue;
        }
        // A number against a character orders as any digit does.
        const char32_t keyA = digitA ? U'0' : NextKey(a, ia);
        const char32_t keyB = digitB ? U'0' : NextKey(b, ib);
        if (keyA != keyB)
            return keyA < keyB ? -1 : 1;
    }
    const bool restA = ia < a.size();
    const bool restB = ib < b.size();
    if (restA != restB)
        return restA ? 1 : -1;
    const int order = a.compare(b);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

namespace {

// A token of the key: its character key plus one, written as UTF-8 writes a
// code point (extended to the keys of stray bytes), which keeps the order of
// the values byte by byte and makes no token the beginning of another; the end
// mark (a zero byte) orders before every token.
char* PutToken(char32_t key, char* out)
{
    const char32_t code = key + 1;
    if (code < 0x80) {
        *out++ = char(code);
    } else if (code < 0x800) {
        *out++ = char(0xC0 | (code >> 6));
        *out++ = char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out++ = char(0xE0 | (code >> 12));
        *out++ = char(0x80 | ((code >> 6) & 0x3F));
        *out++ = char(0x80 | (code & 0x3F));
    } else {
        *out++ = char(0xF0 | (code >> 18));
        *out++ = char(0x80 | ((code >> 12) & 0x3F));
        *out++ = char(0x80 | ((code >> 6) & 0x3F));
        *out++ = char(0x80 | (code & 0x3F));
    }
    return out;
}

}  // namespace

void AppendNaturalKey(std::string_view name, std::string& key)
{
    // A byte gives at most four bytes of key, a number at most six a digit.
    const std::size_t start = key.size();
    key.resize(start + 6 * name.size() + 1);
    char* const begin = key.data() + start;
    char* out = begin;
    std::size_t pos = 0;
    while (pos < name.size()) {
        const auto byte = static_cast<unsigned char>(name[pos]);
        if (byte < 0x80 && !IsDigit(byte)) {
            ++pos;
            out = PutToken(FoldAscii(byte), out);
            continue;
        }
        if (!IsDigit(byte)) {
            out = PutToken(NextKey(name, pos), out);
            continue;
        }
        // A number: the token of a digit (which no character shares), then its
        // length without leading zeros and its digits, so that numbers order
        // by value among themselves.
        while (pos < name.size() && name[pos] == '0')
            ++pos;
        const std::size_t first = pos;
        while (pos < name.size() && IsDigit(static_cast<unsigned char>(name[pos])))
            ++pos;
        const std::size_t length = pos - first;
        out = PutToken(U'0', out);
        for (int shift = 24; shift >= 0; shift -= 8)
            *out++ = char((length >> shift) & 0xFF);
        std::memcpy(out, name.data() + first, length);
        out += length;
    }
    *out++ = '\0';
    key.resize(start + std::size_t(out - begin));
}
