#pragma once

#include <string>
#include <string_view>

// Orders file names as people expect: case-insensitive (Unicode case folding
// for UTF-8, bytewise for bytes that are not), runs of digits compared as
// numbers of any length ("a2" < "a10", "x.9999" < "x.10000"), ties broken by
// the exact bytes so that two different names never compare equal.
// Returns < 0, 0 or > 0; 0 only for identical names.
int NaturalCompare(std::string_view a, std::string_view b);

// Appends a key of `name` whose byte order (as std::string compares) is the
// order of NaturalCompare up to its tie-break: names it orders apart have keys
// in that order, names that differ only in what the tie-break looks at have
// equal keys. No key is a prefix of another key but an equal one, so bytes
// appended after it order only equal keys. A sort of many names compares keys
// made once per name instead of decoding both names at every step.
void AppendNaturalKey(std::string_view name, std::string& key);
