#pragma once

#include "platform/core/ids/TItemIdList.h"

#include <cstdint>
#include <string>
#include <string_view>

// The absolute list of a target: a path (absolute or relative to the working
// directory) or one of ::desktop, ::computer, ::home, ::trash, ::network.
// Null after printing why on stderr.
TItemIdListPtr ResolveTarget(const std::string& target);

// A name made safe for one line of output: backslash, control characters and
// bytes that are not UTF-8 are written as escapes (\\, \n, \t, \xNN).
std::string EscapeForLine(std::string_view text);

// "0a 1b ..." of a byte range.
std::string HexBytes(const std::uint8_t* bytes, std::size_t count);

// Prints "pzshell: WHAT: system error text" for the last error.
void PrintLastError(const std::string& what);
