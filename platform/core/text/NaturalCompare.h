#pragma once

#include <string_view>

// Orders file names as people expect: case-insensitive (Unicode case folding
// for UTF-8, bytewise for bytes that are not), runs of digits compared as
// numbers of any length ("a2" < "a10", "x.9999" < "x.10000"), ties broken by
// the exact bytes so that two different names never compare equal.
// Returns < 0, 0 or > 0; 0 only for identical names.
int NaturalCompare(std::string_view a, std::string_view b);
