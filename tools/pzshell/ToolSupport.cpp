#include "tools/pzshell/ToolSupport.h"

#include "platform/core/system/LastError.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/StandardFolders.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace {

struct TTargetToken
{
    const char* token;
    int specialFolder;
};

constexpr TTargetToken kTargetTokens[] = {
    {"::desktop", SF_DESKTOP}, {"::computer", SF_DRIVES}, {"::home", SF_PERSONAL},
    {"::trash", SF_BITBUCKET}, {"::network", SF_NETWORK},
};

// Length of the valid UTF-8 sequence at text[i], or 0.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    std::uint32_t minimum = 0;
    std::uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        minimum = 0x80;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        minimum = 0x800;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        minimum = 0x10000;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code >= minimum && code <= 0x10FFFF && !surrogate ? length : 0;
}

}  // namespace

TItemIdListPtr ResolveTarget(const std::string& target)
{
    for (const TTargetToken& token : kTargetTokens) {
        if (target == token.token)
            return SHGetSpecialFolderLocation(token.specialFolder);
    }
    std::string path = target;
    if (path.empty() || path.front() != '/') {
        std::string directory(4096, '\0');
        if (!getcwd(directory.data(), directory.size())) {
            SetLastError(errno);
            PrintLastError(target);
            return nullptr;
        }
        directory.resize(directory.find('\0'));
        path = directory + "/" + path;
    }
    TItemIdListPtr list = SHParseDisplayName(path);
    if (!list)
        PrintLastError(target);
    return list;
}

std::string EscapeForLine(std::string_view text)
{
    static const char* const kHex = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (const std::size_t length = Utf8SequenceLength(text, i)) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
        ++i;
    }
    return out;
}

std::string HexBytes(const std::uint8_t* bytes, std::size_t count)
{
    static const char* const kHex = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        if (i != 0)
            out += ' ';
        out += kHex[bytes[i] >> 4];
        out += kHex[bytes[i] & 0xF];
    }
    return out;
}

void PrintLastError(const std::string& what)
{
    std::fprintf(stderr, "pzshell: %s: %s\n", EscapeForLine(what).c_str(), GetSystemErrorText(GetLastError()).c_str());
}
